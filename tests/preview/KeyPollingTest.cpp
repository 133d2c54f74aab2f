// The preview's keyboard, read once per frame: toggles on release, rolling, and the
// camera keys with their modifiers.
#include <gtest/gtest.h>

#include <iterator>
#include <utility>

#include "preview/PreviewRenderer.h"

namespace tessary {
namespace {

using K = PreviewKey;
using F = float CPreviewRenderer::*;

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

TEST_F(KeyPolling, RollingUntilAModifierStopsItAndKeypadTwoRestartsIt) {
  Frame({});
  Frame({});
  EXPECT_FLOAT_EQ(renderer.rotationX, 3.0f);
  EXPECT_FLOAT_EQ(renderer.rotationY, 3.0f);
  Frame({K::Ctrl});  // turns once more in this frame, then stops
  Frame({});
  EXPECT_EQ(renderer.rolling, 0);
  EXPECT_FLOAT_EQ(renderer.rotationX, 4.5f);
  Frame({K::Pad2});  // turns from the next frame on
  Frame({});
  EXPECT_FLOAT_EQ(renderer.rotationX, 6.0f);
  Frame({K::Pad2, K::Shift});  // Shift in the same frame wins
  EXPECT_EQ(renderer.rolling, 0);
}

TEST_F(KeyPolling, KeypadTogglesFireOncePerPressOnRelease) {
  const std::pair<K, uint8_t CPreviewRenderer::*> toggles[] = {
      {K::Pad1, &CPreviewRenderer::skinsOff}, {K::Pad3, &CPreviewRenderer::showMaterials},
      {K::Pad4, &CPreviewRenderer::showUv},   {K::Pad5, &CPreviewRenderer::wireframe},
      {K::Pad6, &CPreviewRenderer::showFloor}};
  for (auto [key, flag] : toggles) {
    const int before = renderer.*flag;
    Frame({key});
    Frame({key});
    EXPECT_EQ(renderer.*flag, before);  // held: nothing yet
    Frame({});
    Frame({});
    EXPECT_EQ(renderer.*flag, !before);  // released: once
  }
  // Each key has its own arm: keypad 1 let go while keypad 3 is still held.
  Frame({K::Pad1, K::Pad3});
  Frame({K::Pad3});
  EXPECT_EQ(renderer.skinsOff, 0);
  EXPECT_EQ(renderer.showMaterials, 0);
  Frame({});
  EXPECT_EQ(renderer.showMaterials, 1);
}

TEST_F(KeyPolling, ArrowsMoveExactlyOneFieldByTheirModifierRow) {
  using R = CPreviewRenderer;
  const F fields[] = {&R::rotationX, &R::rotationY, &R::rotationZ, &R::offsetX, &R::offsetY, &R::offsetZ};
  const struct {
    std::initializer_list<K> keys;
    F field;
    float delta;
  } rows[] = {
      {{K::Up}, &R::offsetZ, 1}, {{K::Down}, &R::offsetZ, -1}, {{K::Left}, &R::offsetZ, -20},
      {{K::Right}, &R::offsetZ, 20}, {{K::Shift, K::Up}, &R::offsetY, 3}, {{K::Shift, K::Down}, &R::offsetY, -3},
      {{K::Shift, K::Left}, &R::offsetX, 3}, {{K::Shift, K::Right}, &R::offsetX, -3},
      {{K::Ctrl, K::Up}, &R::rotationX, 2}, {{K::Ctrl, K::Down}, &R::rotationX, -2},
      {{K::Ctrl, K::Left}, &R::rotationY, -2}, {{K::Ctrl, K::Right}, &R::rotationY, 2},
      {{K::Shift, K::Ctrl, K::Left}, &R::rotationZ, -2}, {{K::Shift, K::Ctrl, K::Right}, &R::rotationZ, 2},
      {{K::Shift, K::Ctrl, K::Up, K::Down}, nullptr, 0},  // Up and Down do nothing with both
  };
  for (size_t r = 0; r < std::size(rows); ++r) {
    renderer.rolling = 0;
    float before[6];
    for (int i = 0; i < 6; ++i) before[i] = renderer.*fields[i];
    Frame(rows[r].keys);
    for (int i = 0; i < 6; ++i)
      EXPECT_FLOAT_EQ(renderer.*fields[i] - before[i], fields[i] == rows[r].field ? rows[r].delta : 0.0f)
          << "row " << r << ", field " << i;
  }
}

}  // namespace
}  // namespace tessary
