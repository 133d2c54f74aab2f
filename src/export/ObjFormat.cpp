#include "export/ObjFormat.h"

#include <algorithm>
#include <cstring>

#include "export/NumberFormat.h"

#include "platform/BuildInfo.h"

namespace tessary {

namespace {
constexpr int kDecimals = 6;  // "%f"
}

void WriteObjHead(TextBuffer& out, const ObjStyle& style, std::string_view modelFileName,
                  std::string_view surfsName) {
  out.Line().Raw("# ").Text(build::kWebPage).Line();
  out.Raw("# Created by Tessary: Version ").Text(style.creatorVersion).Line();
  out.Raw("# Created from: ").Text(modelFileName).Line().Line();
  out.Raw("mtllib ").Text(surfsName).Raw(".mtl").Line();
  if (style.blankAfterMtllib) out.Line();
}

namespace {
// One line of "%f" numbers: `head`, the values separated by blanks, CR LF.
template <size_t N>
void WriteNumberLine(TextBuffer& out, std::string_view head, const double (&values)[N]) {
  static_assert(kDecimals == 6);
  char* at = out.Room(head.size() + N * (kMaxFixedChars + 1) + 2);
  std::memcpy(at, head.data(), head.size());
  at += head.size();
  for (size_t i = 0; i < N; ++i) {
    if (i > 0) *at++ = ' ';
    at = FormatFixed6(at, values[i]);
  }
  *at++ = '\r';
  *at++ = '\n';
  out.Took(at);
}
}  // namespace

void WritePositionLines(TextBuffer& out, const std::vector<Vertex>& vertices) {
  for (const Vertex& v : vertices) {
    const double values[3] = {v.position[0], v.position[1], v.position[2]};
    WriteNumberLine(out, "v ", values);
  }
}

void WriteTexCoordLines(TextBuffer& out, const std::vector<Vertex>& vertices) {
  for (const Vertex& v : vertices) {
    const double values[2] = {v.uv[0], 1.0 - static_cast<double>(v.uv[1])};
    WriteNumberLine(out, "vt ", values);
  }
}

void WriteNormalLines(TextBuffer& out, const std::vector<Vertex>& vertices) {
  for (const Vertex& v : vertices) {
    const double values[3] = {v.normal[0], v.normal[1], v.normal[2]};
    WriteNumberLine(out, "vn ", values);
  }
}

void WriteCountComment(TextBuffer& out, int64_t count, std::string_view what, bool blankAfter) {
  out.Raw("# ").Int(count).Raw(' ').Raw(what).Line();
  if (blankAfter) out.Line();
}

void WriteGroupLines(TextBuffer& out, int64_t index) {
  out.Line().Raw("s off").Line().Raw("g Group").Int(index).Line();
}

void WriteUseMtl(TextBuffer& out, std::string_view name) {
  out.Raw("usemtl ").Text(name).Line();
}

namespace {
// Digits of one index, copied in fixed-size blocks: the room asked for leaves slack.
constexpr size_t kIndexBlock = 16;

// "n/n/n": the same index for position, texture coordinate and normal.
char* PutCorner(char* at, int64_t index) {
  char digits[kMaxIntChars];
  const size_t n = static_cast<size_t>(FormatInt(digits, index) - digits);
  for (int copy = 0; copy < 3; ++copy) {
    if (n <= kIndexBlock)
      std::memcpy(at, digits, kIndexBlock);
    else
      std::memcpy(at, digits, n);
    at += n;
    *at++ = '/';
  }
  return at - 1;
}

// The longest face line: "f ", three corners and their separators, CR LF, and the slack
// of the last block copy.
constexpr size_t kMaxFaceChars = 2 + 3 * (3 * kMaxIntChars + 3) + 2 + kIndexBlock;
}  // namespace

int64_t WriteTriangleFaces(TextBuffer& out, const Surface& surface, int64_t base) {
  if (!surface.facesLoaded || surface.triLists.empty()) return 0;
  const TriList& list = surface.triLists[0];
  size_t cornerCount = std::min<size_t>(static_cast<size_t>(list.triCount) * 3, list.indices.size());
  int64_t written = 0;
  for (size_t i = 0; i + 3 <= cornerCount; i += 3) {
    uint16_t a = list.indices[i], b = list.indices[i + 1], c = list.indices[i + 2];
    if (a == b || a == c || b == c) continue;
    char* at = out.Room(kMaxFaceChars);
    *at++ = 'f';
    *at++ = ' ';
    at = PutCorner(at, a + base);
    *at++ = ' ';
    at = PutCorner(at, c + base);
    *at++ = ' ';
    at = PutCorner(at, b + base);
    *at++ = '\r';
    *at++ = '\n';
    out.Took(at);
    ++written;
  }
  return written;
}

void WriteTriangleListObj(TextBuffer& out, const ObjStyle& style, std::string_view modelFileName,
                          const LodEntry& lod, const std::vector<Surface>& surfaces,
                          size_t surfaceCount) {
  WriteObjHead(out, style, modelFileName, lod.surfsName);
  int64_t base = 1;
  surfaceCount = std::min(surfaceCount, surfaces.size());
  for (size_t g = 0; g < surfaceCount; ++g) {
    const Surface& surface = surfaces[g];
    const int64_t count = static_cast<int64_t>(surface.vertices.size());
    WritePositionLines(out, surface.vertices);
    WriteCountComment(out, count, "vertices", style.blankAfterCounts);
    WriteTexCoordLines(out, surface.vertices);
    WriteCountComment(out, count, "UVs", style.blankAfterCounts);
    WriteNormalLines(out, surface.vertices);
    WriteCountComment(out, count, "normals", false);
    WriteGroupLines(out, static_cast<int64_t>(g));
    if (g < lod.materials.size()) WriteUseMtl(out, lod.materials[g].name);
    int64_t faces = WriteTriangleFaces(out, surface, base);
    WriteCountComment(out, faces, "faces", style.blankAfterCounts);
    base += count;
  }
}

}  // namespace tessary
