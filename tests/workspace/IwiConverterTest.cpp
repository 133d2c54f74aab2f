// The built-in IWI to DDS conversion: header fields, levels and refusals, byte for byte.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "fixtures/IwiWriter.h"
#include "fixtures/TempWorkdir.h"
#include "workspace/IwiConverter.h"

namespace tessary {
namespace {

using test::Cat;
using test::IwiHeader;
using test::TempWorkdir;
using Bytes = std::vector<uint8_t>;

// The DDS header fields that vary, in file order.
struct Dds {
  uint32_t flags, height, width, mipmaps, pixelFlags;
  const char* fourCc;
  uint32_t bits, masks[4], caps;
};

Bytes Header(const Dds& e) {
  test::ByteWriter w;
  w.Raw("DDS ").U32(124).U32(e.flags).U32(e.height).U32(e.width).U32(0).U32(0).U32(e.mipmaps).Fill(44);
  w.U32(32).U32(e.pixelFlags).Raw(e.fourCc).Fill(4 - std::strlen(e.fourCc)).U32(e.bits);
  for (uint32_t m : e.masks) w.U32(m);
  w.U32(e.caps).Fill(16);
  return w.Data();
}

// Every byte is its own offset (mod 256), header overlaid, so copied ranges can be told apart.
Bytes File(const IwiHeader& h, size_t size) {
  Bytes bytes = test::Iwi(h).Append(test::Ramp(size, 28)).Data();
  bytes.resize(size);
  return bytes;
}

// file[from, to), zero past its end.
Bytes Range(const Bytes& file, size_t from, size_t to) {
  Bytes out(to - from, 0);
  for (size_t i = from; i < to && i < file.size(); ++i) out[i - from] = file[i];
  return out;
}

struct IwiConversionTest : ::testing::Test {
  Bytes Convert(const Bytes& iwi, IwiConversion expect = IwiConversion::Converted) {
    wd.Write("images/t.iwi", iwi);
    std::string out;
    EXPECT_EQ(ConvertIwiToDds(wd.Str() + "\\images\\t.iwi", out), expect);
    return expect == IwiConversion::Converted ? wd.Read("images/t.dds") : Bytes{};
  }
  TempWorkdir wd;
};

TEST_F(IwiConversionTest, Dxt1WithLevelsWritesFourLevelsLargestFirst) {
  // 16x16 DXT1: levels of 128, 32, 8 and 8 bytes, smallest first in the file.
  auto file = File({0x0B, 0, 16, 16, 212, 84, 52, 44}, 212);
  const Bytes header = {'D', 'D', 'S', ' ', 0x7C, 0, 0, 0, 0x07, 0x10, 0x02, 0, 0x10, 0, 0, 0,
                        0x10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x04, 0, 0, 0};
  const Bytes pixelFormatAndCaps = {0x20, 0, 0, 0, 0x04, 0, 0, 0, 'D', 'X', 'T', '1', 0, 0, 0, 0, 0, 0,
                                    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x10, 0x40, 0x00};
  EXPECT_EQ(Convert(file), Cat({header, Bytes(44, 0), pixelFormatAndCaps, Bytes(16, 0), Range(file, 84, 212),
                                Range(file, 52, 84), Range(file, 44, 52), Range(file, 36, 44)}));
}

TEST_F(IwiConversionTest, LevelRuleAndPixelFormats) {
  constexpr uint32_t M = 0x21007, B = 0x1007, MC = 0x401000, C = 0x1000;
  constexpr uint32_t rgb[3] = {0x00FF0000, 0x0000FF00, 0x000000FF};
  struct Case {
    const char* what;
    IwiHeader iwi;
    Dds dds;
  };
  // Four levels of 64, 32, 16 and 16 bytes at 92, 60, 44 and 28, unless a single level
  // (O0 == O1, usage 2 or 3) takes everything after the 28-byte header.
  const Case cases[] = {
      {"DXT5 usage 0xC1: count 3", {0x0D, 0xC1, 8, 8, 156, 92, 60, 44}, {M, 8, 8, 3, 4, "DXT5", 0, {}, MC}},
      {"DXT3 usage 0xC1 stays 4", {0x0C, 0xC1, 8, 8, 156, 92, 60, 44}, {M, 8, 8, 4, 4, "DXT3", 0, {}, MC}},
      {"16-bit usage 0xC1: count 3", {0x03, 0xC1, 8, 8, 156, 92, 60, 44},
       {M, 8, 8, 3, 0x41, "", 16, {0x0F00, 0x00F0, 0x000F, 0xF000}, MC}},
      {"8-bit alpha", {0x04, 0, 8, 8, 156, 92, 60, 44}, {M, 8, 8, 4, 0x02, "", 8, {0, 0, 0, 0xFF}, 0x1002}},
      {"usage 5: four levels, count 0", {0x0D, 5, 8, 8, 156, 92, 60, 44}, {B, 8, 8, 0, 4, "DXT5", 0, {}, C}},
      {"O0 == O1 whatever the usage", {0x0D, 0xC1, 32, 16, 156, 156, 60, 44}, {B, 16, 32, 0, 4, "DXT5", 0, {}, C}},
      {"32-bit usage 2", {0x01, 2, 8, 8, 156, 92, 60, 44},
       {B, 8, 8, 0, 0x41, "", 32, {rgb[0], rgb[1], rgb[2], 0xFF000000}, MC}},
      {"24-bit usage 3", {0x02, 3, 8, 8, 156, 92, 60, 44}, {B, 8, 8, 0, 0x40, "", 24, {rgb[0], rgb[1], rgb[2], 0}, MC}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto file = File(c.iwi, 156);
    bool single = c.iwi.o0 == c.iwi.o1 || c.iwi.usage == 2 || c.iwi.usage == 3;
    auto data = single ? Range(file, 28, 156)
                       : Cat({Range(file, 92, 156), Range(file, 60, 92), Range(file, 44, 60), Range(file, 28, 44)});
    EXPECT_EQ(Convert(file), Cat({Header(c.dds), data}));
  }
}

TEST_F(IwiConversionTest, LevelsAreCopiedAtLeastAtTheirMinimumSizeAndZeroFilledPastTheEnd) {
  // DXT5 levels of 16, 8 and 4 bytes are each copied as 16; the smallest starts inside the header.
  auto file = File({0x0D, 0, 4, 4, 56, 40, 32, 28}, 56);
  EXPECT_EQ(Convert(file), Cat({Header({0x21007, 4, 4, 4, 4, "DXT5", 0, {}, 0x401000}), Range(file, 40, 56),
                                Range(file, 32, 48), Range(file, 28, 44), Range(file, 12, 28)}));
  // A level claiming 100 bytes more than the file holds; exactly one mebibyte past is still written.
  file = File({0x0B, 3, 4, 4, 160, 60, 44, 36}, 60);
  auto dds = Convert(file);
  ASSERT_EQ(dds.size(), 128u + 132);
  EXPECT_EQ(Bytes(dds.begin() + 128, dds.end()), Range(file, 28, 160));
  EXPECT_EQ(Convert(File({0x0B, 3, 4, 4, 60 + (1u << 20), 60, 44, 36}, 60)).size(), 128u + 32 + (1u << 20));
}

TEST_F(IwiConversionTest, RefusesWithoutWritingAnything) {
  auto capital = File({0x0B, 3, 4, 4, 60, 60, 60, 60}, 60);
  capital[2] = 'I';
  const std::pair<Bytes, IwiConversion> cases[] = {
      {capital, IwiConversion::NotIwi},
      {File({0x0B, 3, 4, 4, 60, 60, 60, 60}, 27), IwiConversion::TooShort},
      {File({0x0B, 0, 4, 4, 40, 48, 36, 30}, 60), IwiConversion::Damaged},  // level 0 ends before it starts
      {File({0x0D, 0, 4, 4, 60, 44, 36, 8}, 60), IwiConversion::Damaged},   // smallest starts before the file
      {File({0x0B, 3, 4, 4, 61 + (1u << 20), 60, 44, 36}, 60), IwiConversion::Damaged},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE("case " + std::to_string(i));
    Convert(cases[i].first, cases[i].second);
    EXPECT_FALSE(wd.Exists("images/t.dds"));
  }
}

TEST_F(IwiConversionTest, AnImageIsNeverItsOwnOutput) {
  auto bytes = File({0x0B, 3, 4, 4, 60, 60, 60, 60}, 60);
  wd.Write("images/x", bytes);
  std::string out;
  EXPECT_EQ(ConvertIwiToDds(wd.Str() + "\\images\\x", out), IwiConversion::SameFile);
  EXPECT_EQ(wd.Read("images/x"), bytes);
}

// Real images of the second game, where they are at hand: one of each pixel format.
TEST_F(IwiConversionTest, SampleImages) {
  const auto images = test::SamplesDir() / "cod2" / "images";
  if (test::SamplesDir().empty() || !std::filesystem::is_directory(images)) GTEST_SKIP() << "no sample images";
  std::set<uint8_t> formats;
  for (const auto& entry : std::filesystem::directory_iterator(images)) {
    std::ifstream in(entry.path(), std::ios::binary);
    Bytes iwi((std::istreambuf_iterator<char>(in)), {});
    if (entry.path().extension() != ".iwi" || iwi.size() < 5 || !formats.insert(iwi[4]).second) continue;
    SCOPED_TRACE(entry.path().filename().string());
    auto dds = Convert(iwi);
    ASSERT_GT(dds.size(), 128u);
    EXPECT_EQ(std::string(dds.begin() + 84, dds.begin() + 88), iwi[4] == 0x0B ? "DXT1" : iwi[4] == 0x0C ? "DXT3" : "DXT5");
  }
  EXPECT_FALSE(formats.empty());
}

}  // namespace
}  // namespace tessary
