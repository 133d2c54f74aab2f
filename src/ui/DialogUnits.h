#pragma once
// Dialog units: the form's positions are given in quarters of the font's average
// character width and eighths of its height, so the form keeps its proportions with
// whatever font it is shown in.
#include <QFont>
#include <QRect>

namespace tessary::ui {

struct DialogBaseUnits {
  int cx = 0;  // average character width in pixels
  int cy = 0;  // character height in pixels
};

// The base units of `font`: the width of the 52 Latin letters averaged and rounded as the
// dialog manager does ((width / 26 + 1) / 2), and the font's line height.
DialogBaseUnits BaseUnitsOf(const QFont& font);

// Converts a rectangle given as x, y, width, height in dialog units into pixels; each
// edge is scaled on its own and rounded to the nearest pixel, halves away from zero.
QRect DialogToPixels(const QRect& dialogRect, DialogBaseUnits units);

// One coordinate: `value` * `base` / `divisor`, rounded.
int ScaleDialogUnit(int value, int base, int divisor);

}  // namespace tessary::ui
