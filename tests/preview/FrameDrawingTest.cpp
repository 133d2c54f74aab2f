// Whole frames drawn into the headless context and read back, for both drawers, real
// models drawn through their renderer, and the keyboard, read once per frame.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <iterator>
#include <tuple>

#include "platform/Disk.h"
#include "preview/PreviewHarness.h"
#include "fixtures/TempWorkdir.h"
#include "model/ShowModelTree.h"

namespace tessary {
namespace {

using namespace test;

constexpr Rgb kGrid{0, 102, 0};

// A square of side 2 × `half` facing the camera, as two listed triangles or a strip of four.
Surface Square(float half, bool strip) {
  Surface s;
  const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
  for (const auto& c : corners)
    s.vertices.push_back({{}, {0.5f + c[0] / 4, 0.5f + c[1] / 4}, {c[0] * half, c[1] * half, 0}});
  s.vertexCount = 4, s.triListCount = 1;
  s.triLists.push_back(strip ? TriList{4, {0, 1, 3, 2}} : TriList{2, {0, 1, 2, 0, 2, 3}});
  return s;
}

class FrameDrawing : public PreviewHarness {
 protected:
  // A 1 × 1 texture of one colour, handed to `s` as if loaded; it goes with the context.
  static void GiveTexture(Surface& s, Rgb c) {
    glGenTextures(1, &s.textureId);
    glBindTexture(GL_TEXTURE_2D, s.textureId);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    const uint8_t texel[3] = {uint8_t(c[0]), uint8_t(c[1]), uint8_t(c[2])};
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, texel);
    s.textureLoaded = true;
  }
  void Use(std::vector<Surface> list) {
    surfaces = std::move(list);
    renderer->surfaces = &surfaces;
    renderer->surfaceCount = static_cast<uint16_t>(surfaces.size());
  }
  Rgb Centre() const { return Shown().At(kWidth / 2, kHeight / 2); }

  std::vector<Surface> surfaces;
};

TEST_F(FrameDrawing, WithoutTheFloorFlagNeitherFloorNorGrid) {
  ASSERT_TRUE(renderer->Draw(2));
  EXPECT_GT(Shown().Count(kGrid, 0, 200, kWidth, 225, 12), 20);
  renderer->showFloor = 0;
  ASSERT_TRUE(renderer->Draw(3));
  EXPECT_EQ(Shown().Count(kFloor, 0, 150, kWidth, 225) + Shown().Count(kGrid, 0, 150, kWidth, 225, 12), 0);
}

TEST_F(FrameDrawing, SurfaceColoursAndEdges) {
  Use({Square(50, false)});
  ASSERT_TRUE(renderer->Draw(2));
  Rgb c = Centre();
  EXPECT_TRUE(c[0] == c[1] && c[1] == c[2] && c[0] >= 126 && c[0] <= 144) << testing::PrintToString(c);
  GiveTexture(surfaces[0], {200, 100, 0});
  ASSERT_TRUE(renderer->Draw(2));
  EXPECT_TRUE(Near(Centre(), {180, 90, 0}, 3)) << testing::PrintToString(Centre());  // tinted by 0.9
  renderer->skinsOff = 1;
  ASSERT_TRUE(renderer->Draw(2));
  EXPECT_EQ(Centre()[0], Centre()[2]);
  renderer->wireframe = 1;
  ASSERT_TRUE(renderer->Draw(2));
  EXPECT_GT(Shown().Count(kGreen, 0, 0, kWidth, kHeight, 12), 200);
}

TEST_F(FrameDrawing, UnsupportedOrDamagedSurfaceGivesTheRedMessageForGood) {
  Use({Square(50, false)});
  surfaces[0].unsupported = true;
  EXPECT_TRUE(renderer->Draw(2));  // untextured: the mark is not looked at
  const struct {
    std::function<void(Surface&)> damage;
    bool textured, swapped;
  } cases[] = {
      {[](Surface& s) { s.unsupported = true; }, true, true},
      {[](Surface& s) { s.triLists[0].indices[4] = 4; }, false, false},  // abandoned, nothing swapped
      {[](Surface& s) { s.triLists[0].indices[0] = 900; }, true, false},  // the UV panel reads them too
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    Use({Square(50, false)});
    if (cases[i].textured) GiveTexture(surfaces[0], {0, 0, 250});
    cases[i].damage(surfaces[0]);
    renderer->notSupported = 0;
    size_t before = context.FramesShown();
    EXPECT_FALSE(renderer->Draw(2)) << i;
    EXPECT_EQ(context.FramesShown(), before + cases[i].swapped) << i;
    surfaces[0] = Square(50, false);  // repaired, the mark stays
    EXPECT_FALSE(renderer->Draw(2)) << i;
    Picture p = Shown();
    EXPECT_GT(p.Count(kRed, 0, kHeight / 2 - 20, kWidth, kHeight / 2 + 20, 12), 100) << i;
    EXPECT_GT(p.Count(kFloor, 0, 200, kWidth, 225), kWidth * 10) << i;  // only the model is left out
  }
}

TEST_F(FrameDrawing, StripsOverlapShortStripsDrawNothingUnknownVariantsNothingAtAll) {
  Use({Square(50, true)});
  ASSERT_TRUE(renderer->Draw(1));
  // Both triangles of the strip 0, 1, 3, 2: the pixels of (-40, -40) and (40, 40) 400 units away.
  for (auto [x, y] : {std::pair{131, 148}, {188, 91}})
    EXPECT_FALSE(Near(Shown().At(x, y), kStripBackdrop, 10)) << testing::PrintToString(Shown().At(x, y));
  for (uint32_t count : {2u, 0u}) {
    surfaces[0].triLists[0].triCount = count;
    ASSERT_TRUE(renderer->Draw(0));
    EXPECT_TRUE(Near(Centre(), kStripBackdrop));
  }
  size_t before = context.FramesShown();
  EXPECT_FALSE(renderer->Draw(4));
  EXPECT_EQ(context.FramesShown(), before);
}

TEST_F(FrameDrawing, UvLayoutIsDrawnWithVFlippedOnItsThumbnail) {
  // One textured surface whose triangle lies behind the camera; its UVs run along v = 0.25.
  Surface s;
  for (float u : {0.1f, 0.9f, 0.5f}) s.vertices.push_back({{}, {u, 0.25f}, {0, 0, 1000}});
  s.vertexCount = 3, s.triListCount = 1;
  s.triLists.push_back(TriList{1, {0, 1, 2}});
  Use({s});
  GiveTexture(surfaces[0], {0, 0, 0});
  renderer->showMaterials = 0;
  // The first thumbnail, 200 units square at (-500, 220, -499), moved to fill the middle
  // of the view 400 units away: its rows v = 0.25 (drawn at 1 - v) and 0.75 land here.
  renderer->offsetX = 400, renderer->offsetY = -320, renderer->offsetZ = 99;
  ASSERT_TRUE(renderer->Draw(2));
  const double f = 1.0 / std::tan(22.5 * M_PI / 180.0);
  auto row = [&](double panelY) { return int((1 - f * (panelY - 320) / 400) / 2 * kHeight); };
  const Rgb white{255, 255, 255};
  const int flipped = row(220 + 0.75 * 200), unflipped = row(220 + 0.25 * 200);
  EXPECT_GT(Shown().Count(white, 150, flipped - 3, 170, flipped + 4, 10), 10);
  EXPECT_EQ(Shown().Count(white, 150, unflipped - 3, 170, unflipped + 4, 10), 0);
}

using ModelPreview = test::PreviewHarness;

TEST_F(ModelPreview, SampleModelsOfTheSecondGame) {
  auto samples = test::SamplesDir();
  if (samples.empty()) GTEST_SKIP() << "no sample models";
  std::string folder = (samples / "cod2").string() + "\\xmodel";
  for (const char* name : {"cube", "weapon_g36c", "viewmodel_g3", "zk_vm_stormtrooper", "droneXaii",
                           "zom_rocketl1", "iwx_minecraft", "bx_zombie_throw"}) {
    Disk disk;  // outlives the model, whose renderer reads the images on it
    auto model = CreateModel(20);
    model->SetRenderer(std::make_unique<CPreviewRenderer>(notifier));
    model->SetRolling(0);
    ASSERT_TRUE(model->Open(disk, folder, name) && model->LoadLods()) << name;
    model->LoadParts(0);
    model->AttachWindow(&context);
    model->LoadSurfaces(0, true);
    bool drawn = true;
    for (int i = 0; i < 3; ++i) drawn = model->Draw();
    EXPECT_TRUE(drawn) << name;
    EXPECT_LT(Shown().Count(test::kBackdrop, 96, 64, 224, 176), 128 * 112) << name;
  }
}

using K = PreviewKey;
using R = CPreviewRenderer;

class KeyPolling : public ::testing::Test {
 protected:
  void SetUp() override { renderer.SetKeySource(&keys); }
  void TearDown() override { Frame({}); }  // no toggle stays armed for the next test
  void Frame(std::initializer_list<K> held) {
    keys.ReleaseAll();
    for (K k : held) keys.Set(k, true);
    renderer.PollKeys();
  }

  CKeyboardState keys;
  test::RecordingNotifier notifier;
  CPreviewRenderer renderer{notifier};
};

TEST_F(KeyPolling, RollingStopsOnAModifierArrowsMoveTheCameraKeypadTwoRestarts) {
  Frame({});
  Frame({K::Ctrl});  // turns once more in this frame, then stops
  Frame({});
  EXPECT_EQ(std::tuple(renderer.rolling, renderer.rotationX, renderer.rotationY), std::tuple(0, 3.0f, 3.0f));
  Frame({K::Ctrl, K::Left});  // the arrows turn and move the camera by their modifiers
  Frame({K::Shift, K::Left});
  EXPECT_EQ(std::pair(renderer.rotationY, renderer.offsetX), std::pair(1.0f, 3.0f));
  Frame({K::Pad2});  // turns from the next frame on
  Frame({});
  EXPECT_FLOAT_EQ(renderer.rotationX, 4.5f);
}

TEST_F(KeyPolling, KeypadTogglesFireOncePerPressOnRelease) {
  const std::pair<K, uint8_t R::*> toggles[] = {{K::Pad1, &R::skinsOff}, {K::Pad3, &R::showMaterials},
                                                {K::Pad4, &R::showUv},   {K::Pad5, &R::wireframe},
                                                {K::Pad6, &R::showFloor}};
  for (auto [key, flag] : toggles) {
    const int before = renderer.*flag;
    Frame({key});
    EXPECT_EQ(renderer.*flag, before);  // held: nothing yet
    Frame({});
    Frame({});
    EXPECT_EQ(renderer.*flag, !before);  // released: once
  }
  // Each key has its own arm: keypad 1 let go while keypad 3 is still held.
  Frame({K::Pad1, K::Pad3});
  Frame({K::Pad3});
  EXPECT_EQ(renderer.skinsOff + renderer.showMaterials, 0);
}

TEST_F(KeyPolling, KeypadSevenSwapsInTheSkinnedGeometryAndBack) {
  std::vector<Surface> own(2), skinned(3);
  std::vector<LodEntry> ownLods(1);
  renderer.SetSurfaces(&own, 2, &ownLods);
  Frame({K::Pad7});
  Frame({});
  EXPECT_EQ(std::pair(renderer.surfaces, int(renderer.showingAlternate)), std::pair(&own, 0));  // nothing to swap

  skinned[0].vertexCount = 7;
  renderer.SetAlternateSurfaces(skinned, std::vector<LodEntry>(1));
  EXPECT_EQ(renderer.surfaces, &own);  // handed over, not shown yet
  for (int press = 1; press <= 2; ++press) {
    Frame({K::Pad7});
    Frame({});
    const bool alternate = press == 1;
    EXPECT_EQ(std::tuple(renderer.surfaces == &own, int(renderer.surfaceCount), int((*renderer.surfaces)[0].vertexCount),
                         bool(renderer.showingAlternate)),
              std::tuple(!alternate, alternate ? 3 : 2, alternate ? 7 : 0, alternate));
  }
  EXPECT_EQ(renderer.lods, &ownLods);
}

}  // namespace
}  // namespace tessary
