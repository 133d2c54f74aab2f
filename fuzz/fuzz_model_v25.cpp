// Version 25 models: header, parts file and surfaces file from one input, read into the
// tree and exported.
#include <cstddef>
#include <cstdint>

#include "ModelHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tessary::fuzz::RunModelInput(25, data, size);
  return 0;
}
