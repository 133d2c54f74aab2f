#pragma once
// The model targets' common run: one input split into a model header, a parts file and a
// surfaces file, shown as a tree and exported through the export path both front ends use.
#include <cstddef>
#include <cstdint>

namespace tessary::fuzz {

// The header's version bytes are set to `version`, so that every input reaches that
// version's reader. The parts file is stored under the first level's name and the
// surfaces file under every level's name the header gives (when it is a plain name).
void RunModelInput(uint8_t version, const uint8_t* data, size_t size);

}  // namespace tessary::fuzz
