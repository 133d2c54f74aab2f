#include "cli/PngFile.h"

#ifdef TESSARY_HAVE_PREVIEW

#include <png.h>

#include <cstring>

#include "platform/OutputFile.h"
#include "platform/Path.h"

namespace tessary::cli {

bool WritePng(const std::string& path, const std::vector<uint8_t>& rgba, int width, int height,
              std::string& error) {
  const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
  if (width <= 0 || height <= 0 || rgba.size() < pixels * 4) {
    error = "no picture to write";
    return false;
  }
  std::vector<uint8_t> rgb(pixels * 3);
  for (size_t i = 0; i < pixels; ++i) std::memcpy(&rgb[i * 3], &rgba[i * 4], 3);

  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGB;
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, rgb.data(), 0, nullptr)) {
    error = std::string("cannot encode the picture: ") + image.message;
    return false;
  }
  std::vector<uint8_t> encoded(size);
  if (!png_image_write_to_memory(&image, encoded.data(), &size, 0, rgb.data(), 0, nullptr)) {
    error = std::string("cannot encode the picture: ") + image.message;
    return false;
  }
  encoded.resize(size);

  OutputFile out;
  if (!out.OpenExact(ToNativeSeparators(path))) {
    error = out.Error();
    return false;
  }
  out.Write(encoded.data(), encoded.size());
  if (!out.Commit()) {
    error = out.Error();
    return false;
  }
  return true;
}

}  // namespace tessary::cli

#endif  // TESSARY_HAVE_PREVIEW
