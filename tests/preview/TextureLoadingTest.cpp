// Surface textures from DDS files (block-compressed and 24-bit BGR) and the TGA fallback,
// including damaged files.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <tuple>

#include "platform/Disk.h"
#include "fixtures/ImageWriter.h"
#include "fixtures/TempWorkdir.h"
#include "preview/PreviewHarness.h"

namespace tessary {
namespace {

namespace img = test::images;
using Size = std::array<int, 2>;
using Texel = std::array<int, 4>;

class TextureLoading : public test::PreviewHarness {
 protected:
  void SetUp() override {
    PreviewHarness::SetUp();
    renderer->SetImageFolder(disk, wd.ModelFolder());
  }
  Disk disk;
  // Width and height of one uploaded level (0 × 0: no image).
  Size LevelSize(const Surface& s, int level) {
    glBindTexture(GL_TEXTURE_2D, s.textureId);
    GLint w = 0, h = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &h);
    return {w, h};
  }
  Texel FirstTexel(const Surface& s) {
    auto [w, h] = LevelSize(s, 0);
    if (w * h == 0) return {-1, -1, -1, -1};  // no image uploaded
    std::vector<uint8_t> texels(size_t(w * h * 4));
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return {texels[0], texels[1], texels[2], texels[3]};
  }
  bool Dds(const char* name, Surface& s) { return renderer->LoadDdsTexture(name, s); }

  test::TempWorkdir wd;
};

TEST_F(TextureLoading, DdsFormatsAndMipLevels) {
  // 8 × 8 with 4 levels: 4 + 1 + 1 + 1 blocks, the last level 1 × 1.
  wd.Write("images/red.dds", img::Dds(img::FourCc("DXT1"), 8, 8, 4, img::SolidDxt1(0xF800, 7)));
  wd.Write("images/d5.dds", img::Dds(img::FourCc("DXT5"), 4, 8, 1, std::vector<uint8_t>(32, 0)));
  wd.Write("images/bgr.dds", img::Dds(20, 2, 2, 2, img::Repeat({10, 20, 30}, 5)));  // format number 20
  // A level count of 0, as every single-level IWI converts to: the base level all the same.
  wd.Write("images/zero.dds", img::Dds(img::FourCc("DXT1"), 4, 4, 0, img::SolidDxt1(0x001F, 1)));
  const std::tuple<const char*, int, Size, Texel> cases[] = {{"zero.dds", 0, {4, 4}, {0, 0, 255, 255}},
                                                             {"red.dds", 3, {1, 1}, {255, 0, 0, 255}},
                                                             {"d5.dds", 0, {4, 8}, {0, 0, 0, 0}},
                                                             {"bgr.dds", 1, {1, 1}, {30, 20, 10, 255}}};
  for (const auto& [name, level, size, texel] : cases) {
    Surface s;
    ASSERT_TRUE(Dds(name, s)) << name;
    EXPECT_EQ(std::pair(LevelSize(s, level), FirstTexel(s)), std::pair(size, texel)) << name;
  }
  Surface s;
  renderer->compressedTexImage2D = nullptr;  // without the compressed upload only BGR files load
  EXPECT_EQ(std::pair(Dds("red.dds", s), Dds("bgr.dds", s)), std::pair(false, true));
}

TEST_F(TextureLoading, DamagedDdsFilesAreRefusedOrCutShort) {
  wd.Write("images/ati.dds", img::Dds(img::FourCc("ATI2"), 4, 4, 1, std::vector<uint8_t>(16, 0)));
  wd.Write("images/magic.dds", test::ByteWriter().Raw("DDX ").Fill(200));
  Surface s;
  for (const char* name : {"ati.dds", "magic.dds", "absent.dds"}) EXPECT_FALSE(Dds(name, s)) << name;
  // Level 1 only half there: level 0 is kept, the rest left out.
  std::vector<uint8_t> data = img::SolidDxt1(0x07E0, 4 + 1);
  data.resize(data.size() - 4);
  wd.Write("images/short.dds", img::Dds(img::FourCc("DXT1"), 8, 8, 3, data));
  ASSERT_TRUE(Dds("short.dds", s));
  EXPECT_EQ(std::pair(LevelSize(s, 0), LevelSize(s, 1)), std::pair(Size{8, 8}, Size{0, 0}));
  // Propellers and rotor blades blink whether or not their image loads; other surfaces do not.
  for (const char* name : {"b17_propeller.dds", "b17_prop.dds", "heli_blade.dds", "jet_wing.dds", "bell130_p.dds"}) {
    Surface turning;
    EXPECT_FALSE(Dds(name, turning));
    EXPECT_TRUE(turning.blink) << name;
  }
  Surface still;
  still.blink = 1;
  EXPECT_FALSE(Dds("b17_body.dds", still));
  EXPECT_FALSE(still.blink);
}

TEST_F(TextureLoading, TgaTrueColourLoadsAndEverythingElseIsRefused) {
  wd.Write("images/rgba.tga", img::Tga(2, 3, 2, 32, img::Repeat({10, 20, 30, 40}, 6)));
  wd.Write("images/rle.tga", img::Tga(10, 2, 2, 24, img::Repeat({1, 2, 3}, 4)));
  wd.Write("images/grey.tga", img::Tga(2, 2, 2, 16, img::Repeat({1, 2}, 4)));
  Surface rgba, s;
  ASSERT_TRUE(renderer->LoadTgaTexture("rgba.tga", rgba));
  EXPECT_EQ(std::pair(LevelSize(rgba, 0), FirstTexel(rgba)), std::pair(Size{3, 2}, Texel{30, 20, 10, 40}));
  for (const char* name : {"rle.tga", "grey.tga", "absent.tga"})  // cut files: the kept fuzz inputs
    EXPECT_FALSE(renderer->LoadTgaTexture(name, s)) << name;
}

TEST_F(TextureLoading, SurfacesTakeTheirLevelsMaterialInOrder) {
  wd.Write("images/mtl_b", img::Tga(2, 1, 1, 24, {1, 2, 3}));
  wd.Write("images/c.DDS", img::Tga(2, 1, 1, 24, {1, 2, 3}));
  std::vector<LodEntry> lods(2);
  lods[1].materialCount = 2;
  lods[1].materials.resize(2);
  lods[1].materials[0].name = "mtl_b";       // no image: the material's name is tried
  lods[1].materials[1].imageName = "c.DDS";  // not ".dds": goes to the TGA loader
  std::vector<Surface> surfaces(3);
  for (auto& s : surfaces) s.lodIndex = 1;
  ASSERT_TRUE(renderer->SetSurfaces(&surfaces, 3, &lods));
  EXPECT_TRUE(surfaces[0].textureLoaded && surfaces[1].textureLoaded);
  EXPECT_FALSE(surfaces[2].textureLoaded);     // beyond the level's list
  renderer->SetSurfaces(nullptr, 0, nullptr);  // the table goes before the renderer
}

}  // namespace
}  // namespace tessary
