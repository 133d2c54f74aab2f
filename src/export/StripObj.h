#pragma once
// The older OBJ dialect of the first game's models: no normals, faces with position and
// texture indices taken from triangle strips in strip order, and one merged comment and
// group header per surface.
#include <cstddef>
#include <string_view>
#include <vector>

#include "export/TextBuffer.h"
#include "model/ModelRecords.h"

namespace tessary {

// Characters cut from the end of a version 14 material name (its extension) wherever the
// name stands for the material rather than for its texture file.
inline constexpr size_t kStripMaterialExtension = 4;

// The "f a/a b/b c/c" lines of a surface's strips, in order: each run of three indices
// (k-2, k-1, k) of a strip is a triangle, left out when it repeats an index. Indices are
// 0-based plus `base`. Returns the number of lines written.
int64_t WriteStripFaces(TextBuffer& out, const Surface& surface, int64_t base);

// The whole strip-dialect OBJ of one level: the head, then per surface its v and vt blocks
// each closed by an empty line, "# <n> vertices" with the group lines, its material
// without the extension (none when the level's list has no entry at the surface's index)
// and its faces, the indices counting across the file.
void WriteStripObj(TextBuffer& out, std::string_view modelFileName, const LodEntry& lod,
                   const std::vector<Surface>& surfaces, size_t surfaceCount);

}  // namespace tessary
