// Loading surface textures: DDS (block-compressed and 24-bit BGR) and the TGA fallback,
// from files built here, including damaged ones.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "fixtures/ImageWriter.h"
#include "fixtures/TempWorkdir.h"
#include "preview/PreviewHarness.h"

namespace tessary {
namespace {

using test::TempWorkdir;
namespace img = test::images;

class TextureLoading : public test::PreviewHarness {
 protected:
  void SetUp() override {
    PreviewHarness::SetUp();
    renderer->SetImageFolder(wd.ModelFolder());
  }
  // Width and height of one uploaded level of `surface`'s texture (0 × 0: no image).
  std::array<int, 2> LevelSize(const Surface& surface, int level) {
    glBindTexture(GL_TEXTURE_2D, surface.textureId);
    GLint w = 0, h = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &h);
    return {w, h};
  }
  // The first texel of level 0 as RGBA.
  std::array<int, 4> FirstTexel(const Surface& surface) {
    glBindTexture(GL_TEXTURE_2D, surface.textureId);
    auto [w, h] = LevelSize(surface, 0);
    std::vector<uint8_t> texels(static_cast<size_t>(w * h * 4));
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return {texels[0], texels[1], texels[2], texels[3]};
  }

  TempWorkdir wd;
};

TEST_F(TextureLoading, CompressedFormatsUploadEveryMipLevel) {
  // 8 × 8 with 4 levels: 4 + 1 + 1 + 1 blocks; the last level is 1 × 1.
  wd.Write("images/red.dds", img::Dds(img::FourCc("DXT1"), 8, 8, 4, img::SolidDxt1(0xF800, 7)));
  wd.Write("images/d3.dds", img::Dds(img::FourCc("DXT3"), 4, 4, 1, std::vector<uint8_t>(16, 0)));
  wd.Write("images/d5.dds", img::Dds(img::FourCc("DXT5"), 4, 8, 1, std::vector<uint8_t>(32, 0)));
  Surface s1, s3, s5;
  ASSERT_TRUE(renderer->LoadDdsTexture("red.dds", s1));
  EXPECT_EQ(LevelSize(s1, 0), (std::array<int, 2>{8, 8}));
  EXPECT_EQ(LevelSize(s1, 1), (std::array<int, 2>{4, 4}));
  EXPECT_EQ(LevelSize(s1, 3), (std::array<int, 2>{1, 1}));
  EXPECT_EQ(FirstTexel(s1), (std::array<int, 4>{255, 0, 0, 255}));
  ASSERT_TRUE(renderer->LoadDdsTexture("d3.dds", s3));
  EXPECT_EQ(LevelSize(s3, 0), (std::array<int, 2>{4, 4}));
  ASSERT_TRUE(renderer->LoadDdsTexture("d5.dds", s5));
  EXPECT_EQ(LevelSize(s5, 0), (std::array<int, 2>{4, 8}));
}

TEST_F(TextureLoading, FormatNumberTwentyIsBgr) {
  // 2 × 2 pixels stored blue, green, red; levels 2 × 2 and 1 × 1.
  wd.Write("images/bgr.dds", img::Dds(20, 2, 2, 2, img::Repeat({10, 20, 30}, 5)));
  Surface s;
  ASSERT_TRUE(renderer->LoadDdsTexture("bgr.dds", s));
  EXPECT_EQ(FirstTexel(s), (std::array<int, 4>{30, 20, 10, 255}));
  EXPECT_EQ(LevelSize(s, 1), (std::array<int, 2>{1, 1}));
}

TEST_F(TextureLoading, DdsRefusalsAndEdgeCases) {
  wd.Write("images/ati.dds", img::Dds(img::FourCc("ATI2"), 4, 4, 1, std::vector<uint8_t>(16, 0)));
  wd.Write("images/magic.dds", test::ByteWriter().Raw("DDX ").Fill(200));
  wd.Write("images/tiny.dds", test::ByteWriter().Raw("DD"));
  wd.Write("images/headeronly.dds", test::ByteWriter().Raw("DDS ").Fill(20));
  wd.Write("images/nomips.dds", img::Dds(img::FourCc("DXT1"), 4, 4, 0, img::SolidDxt1(0xF800, 1)));
  std::filesystem::create_directory(wd.Path() / "images" / "folder.dds");
  Surface s;
  EXPECT_FALSE(renderer->LoadDdsTexture("ati.dds", s));
  EXPECT_FALSE(renderer->LoadDdsTexture("magic.dds", s));
  EXPECT_FALSE(renderer->LoadDdsTexture("tiny.dds", s));
  EXPECT_FALSE(renderer->LoadDdsTexture("headeronly.dds", s));  // code field reads as 0
  EXPECT_FALSE(renderer->LoadDdsTexture("absent.dds", s));
  EXPECT_FALSE(renderer->LoadDdsTexture("folder.dds", s));
  // A mip-map count of 0 still counts as loaded: a texture name without an image.
  Surface none;
  EXPECT_TRUE(renderer->LoadDdsTexture("nomips.dds", none));
  EXPECT_NE(none.textureId, 0u);
  EXPECT_EQ(LevelSize(none, 0), (std::array<int, 2>{0, 0}));
}

TEST_F(TextureLoading, TruncatedOrOversizedDdsNeverReadsPastItsData) {
  // Level 0 is there, level 1 only half: level 1 and after are left out.
  std::vector<uint8_t> data = img::SolidDxt1(0x07E0, 4 + 1);
  data.resize(data.size() - 4);
  wd.Write("images/short.dds", img::Dds(img::FourCc("DXT1"), 8, 8, 3, data));
  // Huge sizes and mip counts in a file of a few bytes.
  wd.Write("images/huge.dds", img::Dds(img::FourCc("DXT5"), 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, {1, 2, 3}));
  wd.Write("images/hugebgr.dds", img::Dds(20, 60000, 60000, 200, {1, 2, 3}));
  wd.Write("images/manymips.dds", img::Dds(img::FourCc("DXT1"), 1, 1, 1000, img::SolidDxt1(0, 3)));
  Surface s;
  ASSERT_TRUE(renderer->LoadDdsTexture("short.dds", s));
  EXPECT_EQ(LevelSize(s, 0), (std::array<int, 2>{8, 8}));
  EXPECT_EQ(LevelSize(s, 1), (std::array<int, 2>{0, 0}));
  Surface a, b, c;
  EXPECT_TRUE(renderer->LoadDdsTexture("huge.dds", a));
  EXPECT_TRUE(renderer->LoadDdsTexture("hugebgr.dds", b));
  EXPECT_TRUE(renderer->LoadDdsTexture("manymips.dds", c));
  EXPECT_EQ(LevelSize(c, 0), (std::array<int, 2>{1, 1}));
}

TEST_F(TextureLoading, WithoutTheCompressedEntryPointOnlyBgrLoads) {
  wd.Write("images/red.dds", img::Dds(img::FourCc("DXT1"), 4, 4, 1, img::SolidDxt1(0xF800, 1)));
  wd.Write("images/bgr.dds", img::Dds(20, 1, 1, 1, {1, 2, 3}));
  renderer->compressedTexImage2D = nullptr;
  Surface s;
  EXPECT_FALSE(renderer->LoadDdsTexture("red.dds", s));
  EXPECT_TRUE(renderer->LoadDdsTexture("bgr.dds", s));
}

TEST_F(TextureLoading, PropellerNamesBlinkWhetherOrNotTheyLoad) {
  for (const char* name : {"b17_propeller.dds", "x_prop.dds", "heli_blade_col.dds", "plane_wing.dds",
                           "c130_props.dds"}) {
    Surface s;
    EXPECT_FALSE(renderer->LoadDdsTexture(name, s));
    EXPECT_EQ(s.blink, 1) << name;
  }
  Surface s;
  s.blink = 1;
  renderer->LoadDdsTexture("Propeller.dds", s);  // the tests are case-sensitive
  EXPECT_EQ(s.blink, 0);
  // The TGA loader leaves the flag alone.
  s.blink = 1;
  renderer->LoadTgaTexture("plain.tga", s);
  EXPECT_EQ(s.blink, 1);
}

TEST_F(TextureLoading, TgaTrueColourLoadsAndEverythingElseIsRefused) {
  wd.Write("images/rgb.tga", img::Tga(2, 3, 2, 24, img::Repeat({10, 20, 30}, 6)));
  wd.Write("images/rgba.tga", img::Tga(2, 2, 2, 32, img::Repeat({10, 20, 30, 40}, 4)));
  wd.Write("images/rle.tga", img::Tga(10, 2, 2, 24, img::Repeat({1, 2, 3}, 4)));
  wd.Write("images/grey.tga", img::Tga(2, 2, 2, 16, img::Repeat({1, 2}, 4)));
  wd.Write("images/empty.tga", img::Tga(2, 0, 2, 24, {}));
  wd.Write("images/short.tga", img::Tga(2, 2, 2, 24, img::Repeat({1, 2, 3}, 3)));
  wd.Write("images/stub.tga", test::ByteWriter().U8(0).U8(0).U8(2).Fill(10));
  wd.Write("images/big.tga", img::Tga(2, 65535, 65535, 32, {1, 2, 3, 4}));
  Surface rgb, rgba, s;
  ASSERT_TRUE(renderer->LoadTgaTexture("rgb.tga", rgb));
  EXPECT_EQ(LevelSize(rgb, 0), (std::array<int, 2>{3, 2}));
  EXPECT_EQ(FirstTexel(rgb), (std::array<int, 4>{30, 20, 10, 255}));
  ASSERT_TRUE(renderer->LoadTgaTexture("rgba.tga", rgba));
  EXPECT_EQ(FirstTexel(rgba), (std::array<int, 4>{30, 20, 10, 40}));
  for (const char* name : {"rle.tga", "grey.tga", "empty.tga", "short.tga", "stub.tga", "big.tga", "absent.tga"})
    EXPECT_FALSE(renderer->LoadTgaTexture(name, s)) << name;
}

TEST_F(TextureLoading, SurfacesTakeTheirLevelsMaterialInOrder) {
  wd.Write("images/a.dds", img::Dds(20, 1, 1, 1, {1, 2, 3}));
  wd.Write("images/mtl_b", img::Tga(2, 1, 1, 24, {1, 2, 3}));
  wd.Write("images/c.DDS", img::Tga(2, 1, 1, 24, {1, 2, 3}));
  std::vector<LodEntry> lods(2);
  lods[1].materialCount = 3;
  lods[1].materials.resize(3);
  lods[1].materials[0].imageName = "a.dds";
  lods[1].materials[1].name = "mtl_b";         // no image: the material's name is tried
  lods[1].materials[2].imageName = "c.DDS";    // not ".dds": goes to the TGA loader
  std::vector<Surface> surfaces(4);
  for (auto& s : surfaces) s.lodIndex = 1;
  ASSERT_TRUE(renderer->SetSurfaces(&surfaces, 4, &lods));
  EXPECT_TRUE(surfaces[0].textureLoaded);
  EXPECT_TRUE(surfaces[1].textureLoaded);
  EXPECT_TRUE(surfaces[2].textureLoaded);
  EXPECT_FALSE(surfaces[3].textureLoaded);  // beyond the level's list
  // Level 0 has no materials at all.
  for (auto& s : surfaces) s.lodIndex = 0;
  renderer->SetSurfaces(&surfaces, 4, &lods);
  for (const auto& s : surfaces) EXPECT_FALSE(s.textureLoaded);
  renderer->SetSurfaces(nullptr, 0, nullptr);  // the table goes before the renderer
}

}  // namespace
}  // namespace tessary
