#pragma once
// PNG pictures of rendered frames.
#include <cstdint>
#include <string>
#include <vector>

namespace tessary::cli {

// Writes `rgba` (width × height pixels, rows from top to bottom) as an RGB PNG file; the
// file appears whole or not at all. False with the reason in `error`.
bool WritePng(const std::string& path, const std::vector<uint8_t>& rgba, int width, int height,
              std::string& error);

}  // namespace tessary::cli
