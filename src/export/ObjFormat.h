#pragma once
// The Wavefront OBJ text that the model generations write, in pieces. Versions 20 and 25
// write the triangle-list dialect whole (WriteTriangleListObj, differing only in blank
// lines); version 14's strip dialect is built from the same pieces.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "export/TextBuffer.h"
#include "model/ModelRecords.h"

namespace tessary {

// What tells the dialects apart.
struct ObjStyle {
  // The program version named in the head ("5.0"; version 14 models: "4.x").
  std::string_view creatorVersion = "5.0";
  // An empty line after the "mtllib" line (versions 25 and 14).
  bool blankAfterMtllib = false;
  // An empty line after the vertex, UV and face count comments (version 25).
  bool blankAfterCounts = false;
};

// "\n# <web page>\n# Created by Tessary: Version <v>\n# Created from: <model>\n\nmtllib
// <level>.mtl\n", and one more empty line when the style asks for it.
void WriteObjHead(TextBuffer& out, const ObjStyle& style, std::string_view modelFileName,
                  std::string_view surfsName);

// One "v %f %f %f" line per vertex (the position).
void WritePositionLines(TextBuffer& out, const std::vector<Vertex>& vertices);
// One "vt %f %f" line per vertex: u, and 1 - v computed in double (v is flipped).
void WriteTexCoordLines(TextBuffer& out, const std::vector<Vertex>& vertices);
// One "vn %f %f %f" line per vertex (the normal).
void WriteNormalLines(TextBuffer& out, const std::vector<Vertex>& vertices);

// "# <count> <what>\n", e.g. "# 3 vertices".
void WriteCountComment(TextBuffer& out, int64_t count, std::string_view what, bool blankAfter);

// "\ns off\ng Group<index>\n".
void WriteGroupLines(TextBuffer& out, int64_t index);

// "usemtl <name>\n".
void WriteUseMtl(TextBuffer& out, std::string_view name);

// The "f A/A/A C/C/C B/B/B" lines of a triangle list, each 0-based corner plus `base`,
// corners in reversed order; triangles that repeat an index are left out. Nothing when
// the surface's faces were not loaded. Returns the number of lines written.
int64_t WriteTriangleFaces(TextBuffer& out, const Surface& surface, int64_t base);

// The whole triangle-list OBJ of one level: the head, then per surface its v, vt and vn
// blocks, its group, its material (none when the level's list has no entry at the
// surface's index) and its faces, the indices counting across the file.
void WriteTriangleListObj(TextBuffer& out, const ObjStyle& style, std::string_view modelFileName,
                          const LodEntry& lod, const std::vector<Surface>& surfaces,
                          size_t surfaceCount);

}  // namespace tessary
