#pragma once
// The model header as the files really lay it out: the level slots (a distance and a
// surfaces file name each; where they start, how many there are and whether an optional
// name comes before them is the versions table's), 4 bytes, a count n and n records of
// (u32 k, 48k + 36 bytes), then, for each slot that names a level, a 16-bit material count
// and the material names, one per surface of that level, in surface order.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/BinaryFile.h"

namespace tessary {

struct HeaderLayout {
  uint16_t version = 0;
  std::vector<std::string> levelNames;             // one per slot; "" for an unused slot
  std::vector<float> levelDistances;               // one per slot
  std::vector<std::vector<std::string>> materials;  // one list per slot (empty when unused)
};

// Reads a header from its start; nullopt with the reason in `why` when the version is not
// one of the table's or the file ends before its material lists do.
std::optional<HeaderLayout> ReadHeaderLayout(BinaryFile& file, std::string& why);

}  // namespace tessary
