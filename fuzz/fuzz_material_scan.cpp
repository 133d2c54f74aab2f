// The version 25 header's search for its material lists, over a region in memory; the
// first byte tells whether a zero byte lies ahead of the region.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "model/ModelV25.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  std::string_view region(reinterpret_cast<const char*>(data + 1), size - 1);
  auto hit = tessary::ScanForMaterialNames(region, (data[0] & 1) != 0);
  // A match lies inside the region, two bytes ahead of the name it found.
  if (hit && (*hit < -2 || *hit + 2 >= static_cast<int64_t>(region.size()))) __builtin_trap();
  return 0;
}
