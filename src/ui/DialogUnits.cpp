#include "ui/DialogUnits.h"

#include <QFontMetrics>

namespace tessary::ui {

DialogBaseUnits BaseUnitsOf(const QFont& font) {
  QFontMetrics metrics(font);
  int width = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return {(width / 26 + 1) / 2, metrics.height()};
}

int ScaleDialogUnit(int value, int base, int divisor) {
  long long product = static_cast<long long>(value) * base;
  long long half = divisor / 2;
  long long rounded = product >= 0 ? (product + half) / divisor : -((-product + half) / divisor);
  return static_cast<int>(rounded);
}

QRect DialogToPixels(const QRect& dialogRect, DialogBaseUnits units) {
  int left = ScaleDialogUnit(dialogRect.x(), units.cx, 4);
  int top = ScaleDialogUnit(dialogRect.y(), units.cy, 8);
  int right = ScaleDialogUnit(dialogRect.x() + dialogRect.width(), units.cx, 4);
  int bottom = ScaleDialogUnit(dialogRect.y() + dialogRect.height(), units.cy, 8);
  return QRect(left, top, right - left, bottom - top);
}

}  // namespace tessary::ui
