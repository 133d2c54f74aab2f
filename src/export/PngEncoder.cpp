#include "export/PngEncoder.h"

#include <png.h>

#include <algorithm>
#include <cstring>

namespace tessary {

std::optional<std::vector<uint8_t>> EncodePng(const RgbaImage& image) {
  const size_t size = size_t(std::max(image.width, 0)) * size_t(std::max(image.height, 0)) * 4;
  if (image.width <= 0 || image.height <= 0 || image.pixels.size() < size) return std::nullopt;
  png_image description;
  std::memset(&description, 0, sizeof description);
  description.version = PNG_IMAGE_VERSION;
  description.width = static_cast<png_uint_32>(image.width);
  description.height = static_cast<png_uint_32>(image.height);
  description.format = PNG_FORMAT_RGBA;
  png_alloc_size_t length = 0;
  if (!png_image_write_to_memory(&description, nullptr, &length, 0, image.pixels.data(), 0, nullptr))
    return std::nullopt;
  std::vector<uint8_t> out(length);
  if (!png_image_write_to_memory(&description, out.data(), &length, 0, image.pixels.data(), 0, nullptr))
    return std::nullopt;
  out.resize(length);
  return out;
}

}  // namespace tessary
