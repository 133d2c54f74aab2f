#pragma once
// Decodes the games' image files into plain RGBA pixels: IWI (read directly, without a
// conversion to DDS first), DDS and TGA. Block-compressed data (DXT1, DXT3, DXT5) goes
// through libsquish; the uncompressed layouts are unpacked by their channel masks. Only the
// largest level of an image is decoded.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tessary {

// RGBA, 8 bits per channel, rows from top to bottom.
struct RgbaImage {
  int width = 0, height = 0;
  std::vector<uint8_t> pixels;
};

// Decodes the image file at `path`. The kind is told by the file's first bytes ("IWi",
// "DDS "), else by a ".tga" extension. A file that cannot be read, is of an unknown kind or
// format, or is too short for its largest level gives nullopt and a message naming the file
// in `error`.
std::optional<RgbaImage> DecodeImageFile(const std::filesystem::path& path, std::string& error);

// The same over bytes already in memory; `name` names them in the message.
std::optional<RgbaImage> DecodeImageBytes(std::span<const uint8_t> bytes, const std::string& name,
                                          std::string& error);

}  // namespace tessary
