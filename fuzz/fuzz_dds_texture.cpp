// The preview's DDS texture loader.
#include <cstddef>
#include <cstdint>

#include "TextureHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tessary::fuzz::RunTextureInput(tessary::fuzz::TextureKind::Dds, data, size);
  return 0;
}
