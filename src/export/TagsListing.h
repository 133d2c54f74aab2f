#pragma once
// The tags listing: a numbered table of a model's tags with their model-space positions
// and parents, then the hierarchy drawn with box-drawing characters. Versions 20 and 25
// write it alike.
#include <string>
#include <vector>

#include "model/ModelRecords.h"

namespace tessary {

// The listing of parts in model space: its bytes (16-bit little-endian text, no byte-order
// mark, CR LF lines).
std::vector<uint8_t> TagsListingBytes(const PartList& parts);

}  // namespace tessary
