// The preview's keyboard, read once per frame: toggles, rolling and the camera keys.
#include <gtest/gtest.h>

#include <tuple>
#include <utility>
#include <vector>

#include "preview/PreviewRenderer.h"

namespace tessary {
namespace {

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
  CPreviewRenderer renderer;
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
