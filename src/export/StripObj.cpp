#include "export/StripObj.h"

#include <algorithm>

#include "export/MtlFormat.h"
#include "export/ObjFormat.h"

namespace tessary {

namespace {
void WriteCorner(TextBuffer& out, int64_t index) { out.Int(index).Raw('/').Int(index); }
}  // namespace

int64_t WriteStripFaces(TextBuffer& out, const Surface& surface, int64_t base) {
  int64_t written = 0;
  for (const TriList& strip : surface.triLists) {
    size_t count = std::min<size_t>(strip.triCount, strip.indices.size());
    for (size_t k = 2; k < count; ++k) {
      uint16_t a = strip.indices[k - 2], b = strip.indices[k - 1], c = strip.indices[k];
      if (a == b || a == c || b == c) continue;
      out.Raw("f ");
      WriteCorner(out, a + base);
      out.Raw(' ');
      WriteCorner(out, b + base);
      out.Raw(' ');
      WriteCorner(out, c + base);
      out.Line();
      ++written;
    }
  }
  return written;
}

void WriteStripObj(TextBuffer& out, std::string_view modelFileName, const LodEntry& lod,
                   const std::vector<Surface>& surfaces, size_t surfaceCount) {
  ObjStyle style;
  style.creatorVersion = "4.x";
  style.blankAfterMtllib = true;
  WriteObjHead(out, style, modelFileName, lod.surfsName);
  int64_t base = 1;
  surfaceCount = std::min(surfaceCount, surfaces.size());
  for (size_t s = 0; s < surfaceCount; ++s) {
    const Surface& surface = surfaces[s];
    const int64_t count = static_cast<int64_t>(surface.vertices.size());
    WritePositionLines(out, surface.vertices);
    out.Line();
    WriteTexCoordLines(out, surface.vertices);
    out.Line();
    WriteCountComment(out, count, "vertices", false);
    WriteGroupLines(out, static_cast<int64_t>(s));
    out.Line();
    if (s < lod.materials.size())
      WriteUseMtl(out, TrimEnd(lod.materials[s].name, kStripMaterialExtension));
    WriteStripFaces(out, surface, base);
    base += count;
  }
}

}  // namespace tessary
