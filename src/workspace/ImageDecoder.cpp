#include "workspace/ImageDecoder.h"

#include "platform/FileOpen.h"

#include <squish.h>

#include <algorithm>
#include <bit>
#include <cctype>
#include <cstring>

namespace tessary {

namespace {

// Files larger than this are not images of these games; refusing them keeps a damaged
// size field from asking for gigabytes.
constexpr uintmax_t kMaxFileSize = uintmax_t{512} << 20;
constexpr uint32_t kMaxSide = 16384;

uint16_t U16(std::span<const uint8_t> b, size_t at) {
  return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}
uint32_t U32(std::span<const uint8_t> b, size_t at) {
  return static_cast<uint32_t>(b[at]) | static_cast<uint32_t>(b[at + 1]) << 8 |
         static_cast<uint32_t>(b[at + 2]) << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

constexpr uint32_t FourCc(const char (&code)[5]) {
  return static_cast<uint32_t>(static_cast<uint8_t>(code[0])) |
         static_cast<uint32_t>(static_cast<uint8_t>(code[1])) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(code[2])) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(code[3])) << 24;
}

// How the pixels of one level are stored.
struct PixelLayout {
  int squishFlags = 0;     // kDxt1/3/5 for block-compressed data, else 0
  uint32_t bytesPerPixel = 0;
  uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha within a little-endian word
  bool luminance = false;            // the red mask is a grey level for all three colours
};

PixelLayout Block(int flags) {
  PixelLayout p;
  p.squishFlags = flags;
  return p;
}
PixelLayout Masked(uint32_t bytes, uint32_t r, uint32_t g, uint32_t b, uint32_t a, bool grey = false) {
  PixelLayout p;
  p.bytesPerPixel = bytes;
  p.masks[0] = r;
  p.masks[1] = g;
  p.masks[2] = b;
  p.masks[3] = a;
  p.luminance = grey;
  return p;
}

uint64_t LevelSize(const PixelLayout& p, uint32_t w, uint32_t h) {
  if (p.squishFlags != 0) {
    const uint64_t blocks = ((uint64_t{w} + 3) / 4) * ((uint64_t{h} + 3) / 4);
    return blocks * (p.squishFlags == squish::kDxt1 ? 8 : 16);
  }
  return uint64_t{w} * h * p.bytesPerPixel;
}

// A channel of a packed pixel, scaled to 0..255 with rounding.
uint8_t Channel(uint32_t word, uint32_t mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const uint32_t max = mask >> shift;
  const uint32_t v = (word & mask) >> shift;
  return static_cast<uint8_t>((uint64_t{v} * 255 + max / 2) / max);
}

// Decodes one level of `w` × `h` pixels at `data` (already checked to hold the level).
// `bottomUp`: the rows are stored from the bottom.
RgbaImage DecodeLevel(const PixelLayout& p, uint32_t w, uint32_t h, const uint8_t* data,
                      bool bottomUp = false) {
  RgbaImage image;
  image.width = static_cast<int>(w);
  image.height = static_cast<int>(h);
  image.pixels.resize(size_t{w} * h * 4);
  if (p.squishFlags != 0) {
    squish::DecompressImage(image.pixels.data(), image.width, image.height, data, p.squishFlags);
    return image;
  }
  const bool hasAlpha = p.masks[3] != 0;
  const bool alphaOnly = hasAlpha && p.masks[0] == 0 && p.masks[1] == 0 && p.masks[2] == 0;
  for (uint32_t y = 0; y < h; ++y) {
    const uint32_t row = bottomUp ? h - 1 - y : y;
    const uint8_t* src = data + size_t{row} * w * p.bytesPerPixel;
    uint8_t* dst = image.pixels.data() + size_t{y} * w * 4;
    for (uint32_t x = 0; x < w; ++x, src += p.bytesPerPixel, dst += 4) {
      uint32_t word = 0;
      for (uint32_t i = 0; i < p.bytesPerPixel; ++i) word |= static_cast<uint32_t>(src[i]) << (8 * i);
      if (alphaOnly) {
        // An alpha-only image tints nothing: white, with its alpha.
        dst[0] = dst[1] = dst[2] = 255;
      } else if (p.luminance) {
        dst[0] = dst[1] = dst[2] = Channel(word, p.masks[0]);
      } else {
        for (int c = 0; c < 3; ++c) dst[c] = Channel(word, p.masks[c]);
      }
      dst[3] = hasAlpha ? Channel(word, p.masks[3]) : 255;
    }
  }
  return image;
}

std::optional<RgbaImage> Fail(std::string& error, const std::string& name, const std::string& why) {
  error = name + ": " + why;
  return std::nullopt;
}

bool SideOk(uint32_t w, uint32_t h) { return w > 0 && h > 0 && w <= kMaxSide && h <= kMaxSide; }

// IWI: a 28-byte header, then the levels smallest first; the largest spans O1 to O0, or,
// for a single-level image (usage 2 or 3, or O0 equal to O1), starts right after the header.
std::optional<RgbaImage> DecodeIwi(std::span<const uint8_t> b, const std::string& name, std::string& error) {
  constexpr size_t kHeader = 28;
  if (b.size() < kHeader) return Fail(error, name, "too short for an IWI image");
  const uint8_t format = b[4];
  const uint8_t usage = b[5];
  const uint32_t w = U16(b, 6), h = U16(b, 8);
  const uint32_t o0 = U32(b, 12), o1 = U32(b, 16);
  PixelLayout p;
  switch (format) {
    case 0x0B: p = Block(squish::kDxt1); break;
    case 0x0C: p = Block(squish::kDxt3); break;
    case 0x0D: p = Block(squish::kDxt5); break;
    case 0x01: p = Masked(4, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000); break;
    case 0x02: p = Masked(3, 0x00FF0000, 0x0000FF00, 0x000000FF, 0); break;
    case 0x03: p = Masked(2, 0x0F00, 0x00F0, 0x000F, 0xF000); break;
    case 0x04: p = Masked(1, 0, 0, 0, 0xFF); break;
    default: return Fail(error, name, "unsupported IWI pixel format " + std::to_string(format));
  }
  if (!SideOk(w, h)) return Fail(error, name, "bad IWI image size " + std::to_string(w) + "x" + std::to_string(h));
  const bool single = o0 == o1 || usage == 2 || usage == 3;
  const uint64_t start = single ? kHeader : o1;
  const uint64_t size = LevelSize(p, w, h);
  if (start < kHeader || start + size > b.size())
    return Fail(error, name, "damaged IWI image (its largest level lies outside the file)");
  return DecodeLevel(p, w, h, b.data() + start);
}

// DDS: "DDS ", a 124-byte header, then the levels largest first.
std::optional<RgbaImage> DecodeDds(std::span<const uint8_t> b, const std::string& name, std::string& error) {
  constexpr size_t kData = 128;
  if (b.size() < kData) return Fail(error, name, "too short for a DDS image");
  const uint32_t h = U32(b, 12), w = U32(b, 16);
  const uint32_t flags = U32(b, 80), code = U32(b, 84), bits = U32(b, 88);
  const uint32_t r = U32(b, 92), g = U32(b, 96), bl = U32(b, 100), a = U32(b, 104);
  constexpr uint32_t kAlphaPixels = 0x1, kAlpha = 0x2, kFourCc = 0x4, kRgb = 0x40, kLuminance = 0x20000;
  PixelLayout p;
  if (flags & kFourCc || (flags & (kRgb | kAlpha | kLuminance)) == 0) {
    // Besides the four-character codes, the format numbers of Direct3D appear in this field.
    if (code == FourCc("DXT1")) p = Block(squish::kDxt1);
    else if (code == FourCc("DXT2") || code == FourCc("DXT3")) p = Block(squish::kDxt3);
    else if (code == FourCc("DXT4") || code == FourCc("DXT5")) p = Block(squish::kDxt5);
    else if (code == 20) p = Masked(3, 0xFF0000, 0xFF00, 0xFF, 0);
    else if (code == 21) p = Masked(4, 0xFF0000, 0xFF00, 0xFF, 0xFF000000);
    else if (code == 22) p = Masked(4, 0xFF0000, 0xFF00, 0xFF, 0);
    else if (code == 23) p = Masked(2, 0xF800, 0x07E0, 0x001F, 0);
    else if (code == 25) p = Masked(2, 0x7C00, 0x03E0, 0x001F, 0x8000);
    else if (code == 26) p = Masked(2, 0x0F00, 0x00F0, 0x000F, 0xF000);
    else if (code == 28) p = Masked(1, 0, 0, 0, 0xFF);
    else if (code == 50) p = Masked(1, 0xFF, 0, 0, 0, true);
    else if (code == 51) p = Masked(2, 0xFF, 0, 0, 0xFF00, true);
    else return Fail(error, name, "unsupported DDS pixel format");
  } else {
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32)
      return Fail(error, name, "unsupported DDS bit count " + std::to_string(bits));
    const uint32_t alpha = (flags & (kAlphaPixels | kAlpha)) ? a : 0;
    if (flags & kLuminance) p = Masked(bits / 8, r, 0, 0, alpha, true);
    else if (flags & kRgb) p = Masked(bits / 8, r, g, bl, alpha);
    else p = Masked(bits / 8, 0, 0, 0, alpha);
  }
  if (!SideOk(w, h)) return Fail(error, name, "bad DDS image size " + std::to_string(w) + "x" + std::to_string(h));
  if (kData + LevelSize(p, w, h) > b.size())
    return Fail(error, name, "damaged DDS image (too short for its largest level)");
  return DecodeLevel(p, w, h, b.data() + kData);
}

// TGA: true-colour and grey images, plain or run-length encoded.
std::optional<RgbaImage> DecodeTga(std::span<const uint8_t> b, const std::string& name, std::string& error) {
  constexpr size_t kHeader = 18;
  if (b.size() < kHeader) return Fail(error, name, "too short for a TGA image");
  const uint8_t idLength = b[0], mapType = b[1], type = b[2];
  const uint32_t mapLength = U16(b, 5), mapBits = b[7];
  const uint32_t w = U16(b, 12), h = U16(b, 14), bits = b[16], descriptor = b[17];
  const bool rle = type == 10 || type == 11;
  const bool grey = type == 3 || type == 11;
  if (type != 2 && type != 3 && type != 10 && type != 11)
    return Fail(error, name, "unsupported TGA image type " + std::to_string(type));
  PixelLayout p;
  if (grey && bits == 8) p = Masked(1, 0xFF, 0, 0, 0, true);
  else if (grey && bits == 16) p = Masked(2, 0xFF, 0, 0, 0xFF00, true);
  else if (!grey && bits == 16) p = Masked(2, 0x7C00, 0x03E0, 0x001F, (descriptor & 0xF) ? 0x8000 : 0);
  else if (!grey && bits == 24) p = Masked(3, 0xFF0000, 0xFF00, 0xFF, 0);
  else if (!grey && bits == 32) p = Masked(4, 0xFF0000, 0xFF00, 0xFF, 0xFF000000);
  else return Fail(error, name, "unsupported TGA pixel size " + std::to_string(bits));
  if (!SideOk(w, h)) return Fail(error, name, "bad TGA image size " + std::to_string(w) + "x" + std::to_string(h));
  size_t at = kHeader + idLength + (mapType ? mapLength * ((mapBits + 7) / 8) : 0);
  const size_t size = static_cast<size_t>(LevelSize(p, w, h));
  std::vector<uint8_t> raw;
  if (!rle) {
    if (at + size > b.size()) return Fail(error, name, "damaged TGA image (too short for its pixels)");
    raw.assign(b.begin() + static_cast<std::ptrdiff_t>(at), b.begin() + static_cast<std::ptrdiff_t>(at + size));
  } else {
    raw.reserve(size);
    const size_t pixel = p.bytesPerPixel;
    while (raw.size() < size) {
      if (at >= b.size()) return Fail(error, name, "damaged TGA image (its runs end early)");
      const uint8_t head = b[at++];
      const size_t count = std::min<size_t>((head & 0x7F) + 1, (size - raw.size()) / pixel);
      const size_t stored = (head & 0x80) ? pixel : count * pixel;
      if (at + stored > b.size()) return Fail(error, name, "damaged TGA image (its runs end early)");
      if (head & 0x80) {
        for (size_t i = 0; i < count; ++i) raw.insert(raw.end(), b.begin() + static_cast<std::ptrdiff_t>(at),
                                                      b.begin() + static_cast<std::ptrdiff_t>(at + pixel));
      } else {
        raw.insert(raw.end(), b.begin() + static_cast<std::ptrdiff_t>(at),
                   b.begin() + static_cast<std::ptrdiff_t>(at + stored));
      }
      at += stored;
    }
  }
  // Rows are stored from the bottom unless descriptor bit 5 says otherwise; bit 4 mirrors.
  RgbaImage image = DecodeLevel(p, w, h, raw.data(), (descriptor & 0x20) == 0);
  if (descriptor & 0x10) {
    for (uint32_t y = 0; y < h; ++y) {
      uint8_t* row = image.pixels.data() + size_t{y} * w * 4;
      for (uint32_t x = 0; x < w / 2; ++x) std::swap_ranges(row + x * 4, row + x * 4 + 4, row + (w - 1 - x) * 4);
    }
  }
  return image;
}

bool HasTgaExtension(const std::string& name) {
  if (name.size() < 4) return false;
  std::string ext = name.substr(name.size() - 4);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext == ".tga";
}

}  // namespace

std::optional<RgbaImage> DecodeImageBytes(std::span<const uint8_t> bytes, const std::string& name,
                                          std::string& error) {
  if (bytes.size() >= 3 && std::memcmp(bytes.data(), "IWi", 3) == 0) return DecodeIwi(bytes, name, error);
  if (bytes.size() >= 4 && std::memcmp(bytes.data(), "DDS ", 4) == 0) return DecodeDds(bytes, name, error);
  if (HasTgaExtension(name)) return DecodeTga(bytes, name, error);
  return Fail(error, name, "not an IWI, DDS or TGA image");
}

std::optional<RgbaImage> DecodeImageFile(const std::filesystem::path& path, std::string& error) {
  const std::string name = path.string();
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return Fail(error, name, "cannot open the image");
  const uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec) return Fail(error, name, "cannot open the image");
  if (size > kMaxFileSize) return Fail(error, name, "too large for an image");
  std::vector<uint8_t> bytes;
  OpenFailure failure = OpenFailure::None;
  if (!ReadRegularFile(path, bytes, &failure, kMaxFileSize))
    return Fail(error, name, failure == OpenFailure::Other ? "cannot read the image" : "cannot open the image");
  return DecodeImageBytes(bytes, name, error);
}

}  // namespace tessary
