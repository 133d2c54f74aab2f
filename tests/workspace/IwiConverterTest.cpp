// The built-in IWI to DDS conversion: header fields, levels and refusals, byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "fixtures/IwiWriter.h"
#include "fixtures/TempWorkdir.h"
#include "workspace/IwiConverter.h"

namespace tessary {
namespace {

using test::ByteWriter;
using test::Iwi;
using test::IwiHeader;
using test::TempWorkdir;

// The expected "DDS " + 124-byte description, written field after field.
struct Expected {
  uint32_t flags = 0x1007;
  uint32_t height = 8, width = 8;
  uint32_t mipmaps = 0;
  uint32_t pixelFlags = 0;
  const char* fourCc = "\0\0\0\0";
  uint32_t bits = 0;
  uint32_t masks[4] = {0, 0, 0, 0};
  uint32_t caps = 0x1000;
};

std::vector<uint8_t> Header(const Expected& e) {
  ByteWriter w;
  w.Raw("DDS ").U32(124).U32(e.flags).U32(e.height).U32(e.width).U32(0).U32(0).U32(e.mipmaps);
  w.Fill(44);
  w.U32(32).U32(e.pixelFlags).Raw(std::string_view(e.fourCc, 4)).U32(e.bits);
  for (uint32_t m : e.masks) w.U32(m);
  w.U32(e.caps).Fill(16);
  return w.Data();
}

// A file whose every byte is its own offset (mod 256), header overlaid at the start, so
// that copied ranges can be told apart.
std::vector<uint8_t> File(const IwiHeader& h, size_t size) {
  std::vector<uint8_t> bytes = test::Ramp(size, 0).Data();
  auto head = Iwi(h).Data();
  std::copy_n(head.begin(), std::min(size, head.size()), bytes.begin());
  return bytes;
}

std::vector<uint8_t> Range(const std::vector<uint8_t>& file, size_t from, size_t to) {
  std::vector<uint8_t> out(to - from, 0);
  for (size_t i = from; i < to && i < file.size(); ++i) out[i - from] = file[i];
  return out;
}

std::vector<uint8_t> Cat(std::initializer_list<std::vector<uint8_t>> parts) {
  std::vector<uint8_t> out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

class IwiConversionTest : public ::testing::Test {
 protected:
  // Writes images/<name>, converts it, returns the DDS bytes (empty when refused).
  std::vector<uint8_t> Convert(const std::vector<uint8_t>& iwi, IwiConversion expect = IwiConversion::Converted,
                               const std::string& name = "t.iwi") {
    wd.Write("images/" + name, iwi);
    std::string out;
    EXPECT_EQ(ConvertIwiToDds(wd.Str() + "\\images\\" + name, out), expect);
    if (expect != IwiConversion::Converted) return {};
    return wd.Read("images/t.dds");
  }
  TempWorkdir wd;
};

TEST_F(IwiConversionTest, Dxt1WithLevelsWritesFourLevelsLargestFirst) {
  // 16x16 DXT1: levels of 128, 32, 8, 8 and 8 bytes, smallest first in the file.
  IwiHeader h{0x0B, 0, 16, 16, 212, 84, 52, 44};
  auto file = File(h, 212);
  auto dds = Convert(file);
  const std::vector<uint8_t> header = {
      'D', 'D', 'S', ' ', 0x7C, 0, 0, 0, 0x07, 0x10, 0x02, 0, 0x10, 0, 0, 0, 0x10, 0, 0, 0,
      0, 0, 0, 0, 0, 0, 0, 0, 0x04, 0, 0, 0};
  ASSERT_EQ(dds.size(), 128u + 128 + 32 + 8 + 8);
  EXPECT_EQ(std::vector<uint8_t>(dds.begin(), dds.begin() + 32), header);
  EXPECT_TRUE(std::all_of(dds.begin() + 32, dds.begin() + 76, [](uint8_t b) { return b == 0; }));
  const std::vector<uint8_t> pixelFormatAndCaps = {
      0x20, 0, 0, 0, 0x04, 0, 0, 0, 'D', 'X', 'T', '1', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
      0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x10, 0x40, 0x00};
  EXPECT_EQ(std::vector<uint8_t>(dds.begin() + 76, dds.begin() + 112), pixelFormatAndCaps);
  EXPECT_EQ(std::vector<uint8_t>(dds.begin() + 128, dds.end()),
            Cat({Range(file, 84, 212), Range(file, 52, 84), Range(file, 44, 52), Range(file, 36, 44)}));
}

TEST_F(IwiConversionTest, LevelRuleAndPixelFormats) {
  // Four levels of 64, 32, 16 and 16 bytes behind a 28-byte header and 16 small bytes.
  const uint32_t o0 = 156, o1 = 92, o2 = 60, o3 = 44;
  auto levels = [&](const std::vector<uint8_t>& f) {
    return Cat({Range(f, o1, o0), Range(f, o2, o1), Range(f, o3, o2), Range(f, o3 - 16, o3)});
  };
  struct Case {
    const char* what;
    uint8_t format, usage;
    Expected header;
  };
  const Expected mip{0x21007, 8, 8, 4, 0, "\0\0\0\0", 0, {0, 0, 0, 0}, 0x401000};
  auto with = [](Expected e, auto change) { change(e); return e; };
  const Case cases[] = {
      {"DXT5 usage 0", 0x0D, 0, with(mip, [](Expected& e) { e.pixelFlags = 4; e.fourCc = "DXT5"; })},
      {"DXT5 usage 0xC1: count 3", 0x0D, 0xC1,
       with(mip, [](Expected& e) { e.pixelFlags = 4; e.fourCc = "DXT5"; e.mipmaps = 3; })},
      {"DXT3 usage 0xC1 stays 4", 0x0C, 0xC1, with(mip, [](Expected& e) { e.pixelFlags = 4; e.fourCc = "DXT3"; })},
      {"16-bit usage 0xC1: count 3", 0x03, 0xC1, with(mip, [](Expected& e) {
         e.pixelFlags = 0x41; e.bits = 16; e.mipmaps = 3;
         e.masks[0] = 0x0F00; e.masks[1] = 0x00F0; e.masks[2] = 0x000F; e.masks[3] = 0xF000; })},
      {"8-bit alpha", 0x04, 0, with(mip, [](Expected& e) {
         e.pixelFlags = 0x02; e.bits = 8; e.masks[3] = 0xFF; e.caps = 0x1002; })},
      {"unknown format", 0x07, 0, mip},
      {"usage 5: four levels under a count of 0", 0x0D, 5,
       Expected{0x1007, 8, 8, 0, 4, "DXT5", 0, {0, 0, 0, 0}, 0x1000}},
      {"8-bit alpha usage 5 keeps count 0", 0x04, 5,
       Expected{0x21007, 8, 8, 0, 0x02, "\0\0\0\0", 8, {0, 0, 0, 0xFF}, 0x1002}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto file = File({c.format, c.usage, 8, 8, o0, o1, o2, o3}, o0);
    EXPECT_EQ(Convert(file), Cat({Header(c.header), levels(file)}));
  }
}

TEST_F(IwiConversionTest, SingleLevelCopiesEverythingAfterTheHeader) {
  struct Case {
    const char* what;
    IwiHeader iwi;
    Expected header;
  };
  const Case cases[] = {
      {"O0 equals O1, whatever the usage", {0x0D, 0xC1, 32, 16, 92, 92, 60, 44},
       Expected{0x1007, 16, 32, 0, 4, "DXT5", 0, {0, 0, 0, 0}, 0x1000}},
      {"32-bit usage 2", {0x01, 2, 4, 4, 92, 60, 44, 36},
       Expected{0x1007, 4, 4, 0, 0x41, "\0\0\0\0", 32, {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}, 0x401000}},
      {"24-bit usage 3", {0x02, 3, 4, 4, 92, 60, 44, 36},
       Expected{0x1007, 4, 4, 0, 0x40, "\0\0\0\0", 24, {0x00FF0000, 0x0000FF00, 0x000000FF, 0}, 0x401000}},
      {"16-bit usage 2, 0xC1 not involved", {0x03, 2, 4, 4, 92, 60, 44, 36},
       Expected{0x1007, 4, 4, 0, 0x41, "\0\0\0\0", 16, {0x0F00, 0x00F0, 0x000F, 0xF000}, 0x401000}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto file = File(c.iwi, 92);
    EXPECT_EQ(Convert(file), Cat({Header(c.header), Range(file, 28, 92)}));
  }
}

TEST_F(IwiConversionTest, LevelsAreCopiedAtTheirMinimumSize) {
  // DXT5 levels of 16, 8 and 4 bytes: each is copied as 16; the smallest starts inside
  // the header.
  auto file = File({0x0D, 0, 4, 4, 56, 40, 32, 28}, 56);
  auto dds = Convert(file);
  Expected e{0x21007, 4, 4, 4, 4, "DXT5", 0, {0, 0, 0, 0}, 0x401000};
  EXPECT_EQ(dds, Cat({Header(e), Range(file, 40, 56), Range(file, 32, 48), Range(file, 28, 44),
                      Range(file, 12, 28)}));
  // DXT1's minimum is 8.
  file = File({0x0B, 0, 4, 4, 52, 44, 40, 36}, 52);
  e.fourCc = "DXT1";
  EXPECT_EQ(Convert(file), Cat({Header(e), Range(file, 44, 52), Range(file, 40, 48),
                                Range(file, 36, 44), Range(file, 28, 36)}));
}

TEST_F(IwiConversionTest, RangesPastTheEndAreZeroFilledUpToOneMebibyte) {
  // Single level claiming 100 bytes more than the file holds.
  auto file = File({0x0B, 3, 4, 4, 160, 60, 44, 36}, 60);
  auto dds = Convert(file);
  ASSERT_EQ(dds.size(), 128u + 132);
  EXPECT_EQ(std::vector<uint8_t>(dds.begin() + 128, dds.end()), Range(file, 28, 160));
  // Exactly one mebibyte past the end is still written.
  file = File({0x0B, 3, 4, 4, 60 + (1u << 20), 60, 44, 36}, 60);
  EXPECT_EQ(Convert(file).size(), 128u + 32 + (1u << 20));
}

TEST_F(IwiConversionTest, RefusesWithoutWritingAnything) {
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    IwiConversion result;
  };
  const Case cases[] = {
      {"capital magic", File({0x0B, 3, 4, 4, 60, 60, 60, 60}, 60), IwiConversion::NotIwi},
      {"27 bytes", File({0x0B, 3, 4, 4, 60, 60, 60, 60}, 27), IwiConversion::TooShort},
      {"empty", {}, IwiConversion::TooShort},
      {"level 0 ends before it starts", File({0x0B, 0, 4, 4, 40, 48, 36, 30}, 60), IwiConversion::Damaged},
      {"level 2 starts after level 1", File({0x0B, 0, 4, 4, 60, 44, 36, 40}, 60), IwiConversion::Damaged},
      {"single level ending inside the header", File({0x0B, 2, 4, 4, 20, 60, 44, 36}, 60), IwiConversion::Damaged},
      {"smallest level would start before the file", File({0x0D, 0, 4, 4, 60, 44, 36, 8}, 60), IwiConversion::Damaged},
      {"more than a mebibyte past the end", File({0x0B, 3, 4, 4, 61 + (1u << 20), 60, 44, 36}, 60),
       IwiConversion::Damaged},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto bytes = c.bytes;
    if (std::string(c.what) == "capital magic") bytes[2] = 'I';
    Convert(bytes, c.result);
    EXPECT_FALSE(wd.Exists("images/t.dds"));
  }
  std::string out;
  EXPECT_EQ(ConvertIwiToDds(wd.Str() + "\\images\\absent.iwi", out), IwiConversion::CannotOpen);
  EXPECT_FALSE(wd.Exists("images/absent.dds"));
}

TEST_F(IwiConversionTest, OutputPathIsTheLoweredSourcePath) {
  EXPECT_EQ(DdsPathFor("D:\\Work\\Images\\Wall.IWI"), "d:\\work\\images\\wall.dds");
  EXPECT_EQ(DdsPathFor("a.iwi.iwi"), "a.dds.dds");
  wd.Write("images/Wall.IWI", File({0x0B, 3, 4, 4, 60, 60, 60, 60}, 60));
  std::string out;
  ASSERT_EQ(ConvertIwiToDds(wd.Str() + "\\Images\\Wall.IWI", out), IwiConversion::Converted);
  EXPECT_EQ(out, DdsPathFor(wd.Str()) + "\\images\\wall.dds");
  EXPECT_TRUE(wd.Exists("images/wall.dds"));
  EXPECT_TRUE(wd.Exists("images/Wall.IWI"));
  // A name without ".iwi" would have the DDS replace the image itself: refused.
  auto bytes = File({0x0B, 3, 4, 4, 60, 60, 60, 60}, 60);
  wd.Write("images/x", bytes);
  EXPECT_EQ(ConvertIwiToDds(wd.Str() + "\\images\\x", out), IwiConversion::SameFile);
  EXPECT_EQ(wd.Read("images/x"), bytes);
}

// The real images: each DDS header describes its image and the data are its levels.
TEST(IwiConversionSamples, RealImagesConvert) {
  auto samples = test::SamplesDir();
  if (samples.empty() || !std::filesystem::is_directory(samples / "cod2" / "images"))
    GTEST_SKIP() << "no sample images";
  TempWorkdir wd;
  int converted = 0;
  for (const auto& entry : std::filesystem::directory_iterator(samples / "cod2" / "images")) {
    if (entry.path().extension() != ".iwi") continue;
    SCOPED_TRACE(entry.path().filename().string());
    std::ifstream in(entry.path(), std::ios::binary);
    std::vector<uint8_t> iwi((std::istreambuf_iterator<char>(in)), {});
    ASSERT_GE(iwi.size(), 28u);
    auto u32 = [&](size_t at) { return uint32_t(iwi[at]) | uint32_t(iwi[at + 1]) << 8 | uint32_t(iwi[at + 2]) << 16 | uint32_t(iwi[at + 3]) << 24; };
    const uint8_t format = iwi[4], usage = iwi[5];
    const uint32_t o0 = u32(12), o1 = u32(16), o2 = u32(20), o3 = u32(24);
    std::string name = entry.path().filename().string();
    wd.Write("images/" + name, iwi);
    std::string out;
    ASSERT_EQ(ConvertIwiToDds(wd.Str() + "\\images\\" + name, out), IwiConversion::Converted);
    std::string ddsName = name.substr(0, name.size() - 4) + ".dds";
    auto dds = wd.Read("images/" + ddsName);
    ASSERT_GE(dds.size(), 128u);
    auto d32 = [&](size_t at) { return uint32_t(dds[at]) | uint32_t(dds[at + 1]) << 8 | uint32_t(dds[at + 2]) << 16 | uint32_t(dds[at + 3]) << 24; };
    EXPECT_EQ(d32(12), uint32_t(iwi[8] | iwi[9] << 8));   // height
    EXPECT_EQ(d32(16), uint32_t(iwi[6] | iwi[7] << 8));   // width
    const char* fourCc = format == 0x0B ? "DXT1" : format == 0x0C ? "DXT3" : format == 0x0D ? "DXT5" : nullptr;
    ASSERT_NE(fourCc, nullptr) << "a format these samples do not have";
    EXPECT_EQ(std::string(dds.begin() + 84, dds.begin() + 88), fourCc);
    std::vector<uint8_t> data;
    if (o0 == o1 || usage == 2 || usage == 3) {
      EXPECT_EQ(d32(28), 0u);
      data = Range(iwi, 28, o0);
    } else {
      EXPECT_EQ(d32(28), 4u);
      uint32_t s3 = std::max<uint32_t>((o2 - o3) / 4, format == 0x0B ? 8 : 16);
      data = Cat({Range(iwi, o1, o0), Range(iwi, o2, o1), Range(iwi, o3, o2), Range(iwi, o3 - s3, o3)});
    }
    EXPECT_EQ(std::vector<uint8_t>(dds.begin() + 128, dds.end()), data);
    ++converted;
  }
  EXPECT_GT(converted, 0);
}

}  // namespace
}  // namespace tessary
