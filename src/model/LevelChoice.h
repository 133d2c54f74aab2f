#pragma once
// What both readers decide from a model header before they read a level: which level, and
// whether the names it gives the files read and written may be followed. Each refusal has
// one message, whichever reader meets it.
#include <optional>
#include <string>
#include <vector>

#include "model/ModelVersions.h"

namespace tessary {

// The level to read: `asked`, or by default the first slot whose name was read (`named`, one
// flag per slot of the header's level table, as the reader counts a name read). Nullopt,
// with the message in `error`, when the header names no level, has no level `asked`, or
// the level lies past the version's loadable levels. `header` is the header's path as shown.
std::optional<int> ChooseLevel(const std::vector<bool>& named, std::optional<int> asked, const ModelVersion& version,
                               const std::string& header, std::string& error);

// Names that a header gives the files an export writes (the level, which names the output
// files, and the parts file, which is named after the first level) must be plain file
// names: one with a folder step, "..", an absolute form or a drive letter would reach
// outside the working folder. An empty name names no file and passes. Material and image
// names only decide what is read: the readers look up no name that is not plain (its file
// counts as missing). Empty when they are plain, else the message naming the header.
std::string CheckHeaderNames(const std::string& header, const std::string& partsName, const std::string& levelName);

}  // namespace tessary
