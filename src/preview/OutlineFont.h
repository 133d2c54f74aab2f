#pragma once
// Extruded 3D text glyphs in display lists, from the outlines of a system font.
#include <cstdint>

namespace tessary {

// Builds one display list per character code 0 to `count` − 1, at lists `listBase` +
// code: the glyph of the fontconfig match for `face` (bold when asked), in units of the
// font's em square, filled front and back and extruded `depth` units into the screen,
// followed by a move to the next character. Each code's horizontal advance goes into
// `advances[code]`. False, with no list touched, when no outline font can be had.
bool BuildOutlineGlyphs(const char* face, bool bold, uint32_t listBase, int count, float depth,
                        float* advances);

}  // namespace tessary
