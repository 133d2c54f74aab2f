#include "workspace/IwiConverter.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/AsciiCase.h"
#include "platform/OutputFile.h"
#include "platform/Disk.h"
#include "platform/Path.h"

namespace tessary {

namespace {

constexpr size_t kIwiHeaderSize = 28;
// A copy may reach at most this far past the end of the file; further is a damaged file.
constexpr uint64_t kMaxOverrun = 1u << 20;

// DDS header fields.
constexpr uint32_t kFlagsBasic = 0x1007;      // caps, height, width, pixel format
constexpr uint32_t kFlagsMipmapped = 0x21007; // and the mipmap count
constexpr uint32_t kCapsTexture = 0x1000;
constexpr uint32_t kCapsMipmapped = 0x401000;

struct DdsHeader {
  uint32_t flags = kFlagsBasic;
  uint32_t height = 0;
  uint32_t width = 0;
  uint32_t mipmapCount = 0;
  uint32_t pixelFlags = 0;
  char fourCc[4] = {0, 0, 0, 0};
  uint32_t bitCount = 0;
  uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
  uint32_t caps = kCapsTexture;
};

void Put32(std::array<uint8_t, 128>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// "DDS " and the 124-byte surface description.
std::array<uint8_t, 128> EncodeHeader(const DdsHeader& h) {
  std::array<uint8_t, 128> b{};
  std::memcpy(b.data(), "DDS ", 4);
  const size_t d = 4;
  Put32(b, d + 0, 124);
  Put32(b, d + 4, h.flags);
  Put32(b, d + 8, h.height);
  Put32(b, d + 12, h.width);
  Put32(b, d + 24, h.mipmapCount);
  Put32(b, d + 72, 32);  // pixel format size
  Put32(b, d + 76, h.pixelFlags);
  std::memcpy(b.data() + d + 80, h.fourCc, 4);
  Put32(b, d + 84, h.bitCount);
  for (int i = 0; i < 4; ++i) Put32(b, d + 88 + 4 * i, h.masks[i]);
  Put32(b, d + 104, h.caps);
  return b;
}

struct Copy {
  uint32_t offset;
  uint32_t size;
};

bool IsSingleLevelUsage(uint8_t usage) { return usage == 3 || usage == 2; }

}  // namespace

std::string DdsPathFor(const std::string& source) {
  std::string out = AsciiLower(source);
  for (size_t pos = out.find(".iwi"); pos != std::string::npos; pos = out.find(".iwi", pos + 4))
    out.replace(pos, 4, ".dds");
  return out;
}

IwiConversion ConvertIwiToDds(const std::string& source, std::string& out) {
  out = DdsPathFor(source);
  Disk disk;  // the conversion's look-ups
  BinaryFile in = disk.Open(source);
  if (!in.IsOpen()) return IwiConversion::CannotOpen;
  uint8_t raw[kIwiHeaderSize];
  if (in.Read(raw, sizeof raw) < sizeof raw) return IwiConversion::TooShort;
  if (raw[0] != 'I' || raw[1] != 'W' || raw[2] != 'i') return IwiConversion::NotIwi;
  auto u16 = [&](size_t at) { return static_cast<uint32_t>(raw[at] | (raw[at + 1] << 8)); };
  auto u32 = [&](size_t at) {
    return static_cast<uint32_t>(raw[at]) | static_cast<uint32_t>(raw[at + 1]) << 8 |
           static_cast<uint32_t>(raw[at + 2]) << 16 | static_cast<uint32_t>(raw[at + 3]) << 24;
  };
  const uint8_t format = raw[4];
  uint8_t usage = raw[5];
  const uint32_t o0 = u32(12), o1 = u32(16), o2 = u32(20), o3 = u32(24);

  DdsHeader h;
  h.width = u16(6);
  h.height = u16(8);

  // Level rule.
  if (o0 == o1) {
    usage = 3;
  } else if (usage != 3 && usage != 2 && usage != 5) {
    h.mipmapCount = 4;
    h.flags = kFlagsMipmapped;
    h.caps = kCapsMipmapped;
  }

  // Pixel format.
  uint32_t minSize = 16;
  auto setFourCc = [&](const char* cc) {
    std::memcpy(h.fourCc, cc, 4);
    h.pixelFlags = 0x4;
  };
  switch (format) {
    case 0x0D:
      setFourCc("DXT5");
      if (usage == 0xC1) h.mipmapCount = 3;
      break;
    case 0x0C:
      setFourCc("DXT3");
      break;
    case 0x0B:
      setFourCc("DXT1");
      minSize = 8;
      break;
    case 0x01:
      h.pixelFlags = 0x41;
      h.bitCount = 32;
      h.masks[0] = 0x00FF0000; h.masks[1] = 0x0000FF00; h.masks[2] = 0x000000FF; h.masks[3] = 0xFF000000;
      h.caps = kCapsMipmapped;
      break;
    case 0x02:
      h.pixelFlags = 0x40;
      h.bitCount = 24;
      h.masks[0] = 0x00FF0000; h.masks[1] = 0x0000FF00; h.masks[2] = 0x000000FF;
      h.caps = kCapsMipmapped;
      break;
    case 0x03:
      h.pixelFlags = 0x41;
      h.bitCount = 16;
      h.masks[0] = 0x0F00; h.masks[1] = 0x00F0; h.masks[2] = 0x000F; h.masks[3] = 0xF000;
      if (usage == 0xC1 && h.mipmapCount > 1) h.mipmapCount = 3;
      h.caps = kCapsMipmapped;
      break;
    case 0x04:
      h.pixelFlags = 0x02;
      h.bitCount = 8;
      h.masks[3] = 0xFF;
      h.flags = kFlagsMipmapped;
      h.caps = 0x1002;
      break;
    default:
      break;
  }

  // The pixel data to copy, decided before anything is written.
  std::vector<Copy> copies;
  if (IsSingleLevelUsage(usage)) {
    if (o0 < kIwiHeaderSize) return IwiConversion::Damaged;
    copies.push_back({static_cast<uint32_t>(kIwiHeaderSize), o0 - static_cast<uint32_t>(kIwiHeaderSize)});
  } else {
    if (o0 < o1 || o1 < o2 || o2 < o3) return IwiConversion::Damaged;
    uint32_t s0 = std::max(o0 - o1, minSize);
    uint32_t s1 = std::max(o1 - o2, minSize);
    uint32_t s2 = std::max(o2 - o3, minSize);
    uint32_t s3 = std::max(s2 / 4, minSize);
    if (o3 < s3) return IwiConversion::Damaged;
    copies = {{o1, s0}, {o2, s1}, {o3, s2}, {o3 - s3, s3}};
  }
  const int64_t fileSize = in.Size();
  for (const Copy& c : copies) {
    if (static_cast<uint64_t>(c.offset) + c.size > static_cast<uint64_t>(std::max<int64_t>(fileSize, 0)) + kMaxOverrun)
      return IwiConversion::Damaged;
  }

  std::error_code ec;
  if (std::filesystem::equivalent(disk.Resolve(source), disk.Resolve(out), ec))
    return IwiConversion::SameFile;

  OutputFile dds;
  if (!dds.Open(disk, out)) return IwiConversion::CannotWrite;
  auto header = EncodeHeader(h);
  dds.Write(header.data(), header.size());
  for (const Copy& c : copies) {
    std::vector<uint8_t> level(c.size, 0);  // bytes past the end of the file stay zero
    if (in.Seek(c.offset)) in.Read(level.data(), level.size());
    dds.Write(level.data(), level.size());
  }
  return dds.Commit() ? IwiConversion::Converted : IwiConversion::CannotWrite;
}

const char* DescribeIwiConversion(IwiConversion result) {
  switch (result) {
    case IwiConversion::Converted: return "converted";
    case IwiConversion::CannotOpen: return "cannot open the image";
    case IwiConversion::TooShort: return "too short for an IWI image (fewer than 28 bytes)";
    case IwiConversion::NotIwi: return "not an IWI image (no \"IWi\" at its start)";
    case IwiConversion::Damaged: return "damaged IWI image (its level offsets do not fit the file)";
    case IwiConversion::SameFile: return "the DDS file would replace the image itself";
    case IwiConversion::CannotWrite: return "cannot write the DDS file";
  }
  return "";
}

}  // namespace tessary
