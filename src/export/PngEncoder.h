#pragma once
// PNG encoding in memory (libpng), for images embedded in other files.
#include <cstdint>
#include <optional>
#include <vector>

#include "workspace/ImageDecoder.h"

namespace tessary {

// The image as an RGBA PNG file's bytes; nullopt when libpng refuses it.
std::optional<std::vector<uint8_t>> EncodePng(const RgbaImage& image);

}  // namespace tessary
