#pragma once
// The structural reader: one level of a model read from the files' real layout (header
// level table and material lists, skeleton with rotations and several roots, per-vertex
// influences, the colour image of each material), for the skinned outputs. The compatible
// reader (the model classes) stays what the OBJ, .x and tags outputs use.
#include <optional>
#include <string>

#include "model/DecodedLevel.h"

namespace tessary {

class Disk;

// Reads level `lodIndex` of the model header `modelName` of `workdir`/xmodel (by default
// the first level the header names): the level's surfaces file, the parts file named after
// the first level (a missing one gives a single root bone), and the materials. Nullopt,
// with one line naming the file concerned in `error`, when a file is missing or damaged or
// the level does not exist.
std::optional<DecodedLevel> ReadStructuralLevel(Disk& disk, const std::string& workdir, const std::string& modelName,
                                                std::optional<int> lodIndex, std::string& error);

}  // namespace tessary
