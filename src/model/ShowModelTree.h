#pragma once
// Loading a model into the model tree: the root and its two groups, then the filler of
// the header's version.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/Model.h"
#include "model/ModelTree.h"

namespace tessary {

// The first byte of a model header file; nullopt when the file cannot be opened. A file
// too short to hold it reads as 0, an unknown version.
std::optional<uint8_t> ReadModelVersion(Disk& disk, const std::string& path);

// Replaces `tree` with the model's tree: root `modelName`, groups "Surfaces" and
// "Parts (Tags)", filled by the filler of `version` (other versions leave them empty).
// When both groups stay empty, returns why, in one line naming the header (an empty file,
// a version not read here, no level of detail); else an empty string. What the reading
// found wrong ("Failed to get the materials") is added to `messages`, for the caller to
// present before that.
std::string ShowModelTree(Disk& disk, ModelTree& tree, const std::string& workingFolder,
                          const std::string& modelName, uint8_t version,
                          std::vector<std::string>& messages);

// A model object of the given header version, or null for a version this program does
// not read.
std::unique_ptr<CModel> CreateModel(uint8_t version);

}  // namespace tessary
