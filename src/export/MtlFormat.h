#pragma once
// The Wavefront material library that the model generations write: one block per distinct
// material of a level.
#include <cstddef>
#include <string_view>

#include "export/TextBuffer.h"
#include "model/ModelRecords.h"

namespace tessary {

// What tells the dialects apart.
struct MtlStyle {
  // Folder of the map_Kd path, relative to the obj folder.
  std::string_view mapFolder = "../images/";
  // The map names the material's image (its own name when it has none); otherwise the
  // map names the material itself (version 14, whose materials are textures).
  bool mapToImage = true;
  // Characters dropped from the end of the name in "newmtl" (version 14: its extension).
  size_t trimFromName = 0;
};

// "newmtl <name>\nillum 4\nKd 0.00 0.00 0.00\nKa 0.00 0.00 0.00\nTf 1.00 1.00 1.00\n
// map_Kd <mapFolder><mapName>\nNi 1.00\n".
void WriteMtlBlock(TextBuffer& out, std::string_view name, std::string_view mapFolder,
                   std::string_view mapName);

// `name` less its last `count` characters (all of it gone when it is not longer).
std::string_view TrimEnd(std::string_view name, size_t count);

// The blocks of a level: nothing unless the level is present and has materials; each
// material once, the first of several entries with exactly the same name.
void WriteMtlBlocks(TextBuffer& out, const MtlStyle& style, const LodEntry& lod);

}  // namespace tessary
