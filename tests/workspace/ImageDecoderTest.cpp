// The image decoder: pixels against hand-computed colours, and damaged files.
#include <gtest/gtest.h>

#include <array>
#include <tuple>

#include "fixtures/ImageWriter.h"
#include "fixtures/IwiWriter.h"
#include "fixtures/TempWorkdir.h"
#include "workspace/ImageDecoder.h"

namespace tessary {
namespace {

namespace img = test::images;
using Rgba = std::array<int, 4>;
using Bytes = std::vector<uint8_t>;

Rgba At(const RgbaImage& image, int x, int y) {
  const size_t i = (size_t(y) * size_t(image.width) + size_t(x)) * 4;
  return {image.pixels[i], image.pixels[i + 1], image.pixels[i + 2], image.pixels[i + 3]};
}

class ImageDecoder : public ::testing::Test {
 protected:
  RgbaImage Decode(const std::string& relative, const std::vector<uint8_t>& bytes) {
    wd.Write(relative, bytes);
    std::string error;
    auto image = DecodeImageFile(wd.Path() / relative, error);
    EXPECT_TRUE(image) << error;
    return image ? *image : RgbaImage{};
  }
  std::string Refused(const std::string& relative, const std::vector<uint8_t>& bytes) {
    wd.Write(relative, bytes);
    std::string error;
    EXPECT_FALSE(DecodeImageFile(wd.Path() / relative, error)) << relative;
    return error;
  }
  test::TempWorkdir wd;
};

// End colours: c0 = (20, 33, 5) expands by bit replication to (165, 134, 41); c1 = (1, 2, 26)
// to (8, 8, 214). Row 0 uses the indices 0, 1, 2, 3; the other rows index 0.
constexpr uint16_t kC0 = (20 << 11) | (33 << 5) | 5;
constexpr uint16_t kC1 = (1 << 11) | (2 << 5) | 26;
constexpr std::array<int, 16> kRamp = {0, 1, 2, 3};

// Each block format handed to the block decoder as its own: DXT1 with c0 <= c1 has three
// colours and transparent black, DXT3 always four colours and explicit alpha, DXT5
// interpolated alpha (the blocks' arithmetic is the decoding library's).
TEST_F(ImageDecoder, EachBlockFormatDecodesAsItself) {
  RgbaImage four = Decode("images/four.dds", img::Dds(img::FourCc("DXT1"), 4, 4, 1, img::ColourBlock(kC0, kC1, kRamp)).Data());
  ASSERT_EQ(four.width, 4);
  EXPECT_EQ(At(four, 2, 0), (Rgba{112, 92, 98, 255}));  // (2·c0 + c1) / 3
  EXPECT_EQ(At(Decode("images/three.dds", img::Dds(img::FourCc("DXT1"), 4, 4, 1, img::ColourBlock(kC1, kC0, kRamp)).Data()), 3, 0),
            (Rgba{0, 0, 0, 0}));
  Bytes block = test::Cat({img::ExplicitAlphaBlock({0, 1, 8, 15, 3}), img::ColourBlock(kC1, kC0, kRamp)});
  EXPECT_EQ(At(Decode("images/d3.dds", img::Dds(img::FourCc("DXT3"), 4, 4, 1, block).Data()), 2, 0),
            (Rgba{60, 50, 156, 136}));  // four colours although c0 <= c1
  Bytes d5block = test::Cat({img::InterpolatedAlphaBlock(200, 10, {0, 1, 2}), img::ColourBlock(kC0, kC0, {})});
  RgbaImage d5 = Decode("images/d5.dds", img::Dds(img::FourCc("DXT5"), 4, 4, 1, d5block).Data());
  EXPECT_EQ(At(d5, 0, 0), (Rgba{165, 134, 41, 200}));  // colours of DXT5 never turn transparent
  EXPECT_EQ(At(d5, 2, 0)[3], 172);
}

TEST_F(ImageDecoder, IwiReadsItsLargestLevelDirectly) {
  // Mip-mapped DXT1 8 × 4: levels smallest first, the largest (two blocks) from O1 to O0.
  const Bytes big = test::Cat({img::ColourBlock(kC0, kC1, kRamp), img::SolidDxt1(0x001F, 1)});
  test::IwiHeader h{.format = 0x0B, .usage = 0, .width = 8, .height = 4};
  h.o3 = 28 + 8, h.o2 = 28 + 16, h.o1 = 28 + 24, h.o0 = 28 + 24 + 16;
  Bytes file = test::Iwi(h).Append(test::Ramp(24, 0)).Data();  // the smaller levels: noise
  RgbaImage mip = Decode("images/mip.iwi", test::Cat({file, big}));
  ASSERT_EQ(std::pair(mip.width, mip.height), std::pair(8, 4));
  EXPECT_EQ(At(mip, 2, 0), (Rgba{112, 92, 98, 255}));
  EXPECT_EQ(At(mip, 5, 2), (Rgba{0, 0, 255, 255}));
  // One level (usage 2): right after the header. 32-bit pixels are B, G, R, A in memory.
  test::IwiHeader one{.format = 0x01, .usage = 2, .width = 2, .height = 1, .o0 = 36, .o1 = 28};
  RgbaImage argb = Decode("images/one.iwi", test::Iwi(one).Bytes({1, 2, 3, 4, 5, 6, 7, 8}).Data());
  EXPECT_EQ(At(argb, 0, 0), (Rgba{3, 2, 1, 4}));
  EXPECT_EQ(At(argb, 1, 0), (Rgba{7, 6, 5, 8}));
  // Usage 3 is one level too, whatever its offsets say.
  test::IwiHeader three{.format = 0x01, .usage = 3, .width = 1, .height = 1, .o0 = 36, .o1 = 32};
  EXPECT_EQ(At(Decode("images/three.iwi", test::Iwi(three).Bytes({1, 2, 3, 4, 9, 9, 9, 9}).Data()), 0, 0), (Rgba{3, 2, 1, 4}));
  // O0 equal to O1 is one level whatever the usage; 4:4:4:4 nibbles widen by 17.
  test::IwiHeader nib{.format = 0x03, .usage = 0, .width = 1, .height = 1, .o0 = 30, .o1 = 30};
  EXPECT_EQ(At(Decode("images/nib.iwi", test::Iwi(nib).U16(0x1F3C).Data()), 0, 0), (Rgba{255, 51, 204, 17}));
}

TEST_F(ImageDecoder, UncompressedDdsAndTga) {
  // By masks: 16-bit 5:6:5 written as a format number, 32-bit with an alpha mask. Channels
  // widen to the nearest of 0..255: red 16 of 31 is 131.6.
  const RgbaImage rgb565 = Decode("images/565.dds", img::Dds(23, 2, 1, 1, {0x1F, 0xF8, 0x00, 0x80}).Data());
  EXPECT_EQ(At(rgb565, 0, 0), (Rgba{255, 0, 255, 255}));
  EXPECT_EQ(At(rgb565, 1, 0), (Rgba{132, 0, 0, 255}));
  EXPECT_EQ(At(Decode("images/bgr.dds", img::Dds(20, 1, 1, 1, {10, 20, 30}).Data()), 0, 0), (Rgba{30, 20, 10, 255}));
  test::ByteWriter masked;
  masked.Raw("DDS ").U32(124).U32(0x1007).U32(1).U32(2).Fill(56).U32(32).U32(0x41).U32(0).U32(32);
  masked.U32(0x000000FF).U32(0x0000FF00).U32(0x00FF0000).U32(0xFF000000).Fill(20).Bytes({1, 2, 3, 4, 5, 6, 7, 8});
  EXPECT_EQ(At(Decode("images/abgr.dds", masked.Data()), 1, 0), (Rgba{5, 6, 7, 8}));
  // TGA rows are stored bottom up unless the descriptor says top down.
  const Bytes rows = {1, 2, 3, 4, 5, 6};  // two rows of one BGR pixel
  EXPECT_EQ(At(Decode("materials/up.tga", img::Tga(2, 1, 2, 24, rows).Data()), 0, 0), (Rgba{6, 5, 4, 255}));
  Bytes downFile = img::Tga(2, 1, 2, 24, rows).Data();
  downFile[17] = 0x20;
  EXPECT_EQ(At(Decode("materials/down.TGA", downFile), 0, 0), (Rgba{3, 2, 1, 255}));
  // Run-length encoded: a run of three, then one raw pixel; an image-ID field is skipped.
  Bytes rle = img::Tga(10, 2, 2, 32, {0x82, 1, 2, 3, 4, 0x00, 9, 8, 7, 6}).Data();
  rle[0] = 2;
  rle.insert(rle.begin() + 18, {0xAA, 0xBB});
  RgbaImage runs = Decode("materials/rle.tga", rle);
  EXPECT_EQ(At(runs, 0, 0), (Rgba{3, 2, 1, 4}));  // bottom row stored first: (0,1),(1,1),(0,0),(1,0)
  EXPECT_EQ(At(runs, 1, 0), (Rgba{7, 8, 9, 6}));
}

TEST_F(ImageDecoder, DamagedFilesAreRefusedWithTheirName) {
  test::IwiHeader past{.format = 0x0B, .usage = 0, .width = 4, .height = 4, .o0 = 1000, .o1 = 990};
  test::IwiHeader wavelet{.format = 0x06, .usage = 2, .width = 4, .height = 4, .o0 = 60, .o1 = 28};
  const std::tuple<const char*, Bytes, const char*> cases[] = {
      {"images/short.dds", img::Dds(img::FourCc("DXT1"), 8, 8, 1, Bytes(8)).Data(), "short.dds"},
      {"images/flat.dds", img::Dds(img::FourCc("DXT1"), 4, 2, 1, Bytes(4)).Data(), "flat.dds"},  // half a block
      {"images/past.iwi", test::Iwi(past).Fill(8).Data(), "past.iwi"},
      {"images/wavelet.iwi", test::Iwi(wavelet).Fill(32).Data(), "format"},
      {"images/cut.iwi", Bytes{'I', 'W', 'i', 5, 0x0B}, "cut.iwi"},
      {"images/fourcc.dds", img::Dds(img::FourCc("ATI2"), 4, 4, 1, Bytes(16)).Data(), "fourcc.dds"},
      {"materials/runs.tga", img::Tga(10, 4, 4, 24, {0x85, 1, 2, 3}).Data(), "runs.tga"},
      {"materials/photo.jpg", Bytes{0xFF, 0xD8, 0xFF}, "photo.jpg"},
  };
  for (const auto& [relative, bytes, named] : cases) EXPECT_NE(Refused(relative, bytes).find(named), std::string::npos) << relative;
}

}  // namespace
}  // namespace tessary
