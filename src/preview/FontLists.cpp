// The renderer's text font: extruded outline glyphs of a bold fixed-pitch face, one
// display list per character code.
#include <GL/gl.h>

#include "preview/OutlineFont.h"
#include "preview/PreviewRenderer.h"

namespace tessary {

uint32_t CPreviewRenderer::CreateFontLists() {
  GLuint base = glGenLists(256);
  if (base == 0) return 0;
  // The face name is kept as the preview has always asked for it; no face of that name
  // exists, so fontconfig substitutes one, as the Windows font mapper does.
  if (!BuildOutlineGlyphs("Curier", true, base, 255, 0.15f, glyphAdvances)) {
    glDeleteLists(base, 256);
    return 0;
  }
  return base;
}

}  // namespace tessary
