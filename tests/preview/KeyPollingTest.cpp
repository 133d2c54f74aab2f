// The preview's keyboard, read once per frame: toggles on release, rolling, and the
// camera keys with their modifiers. No drawing is needed for these.
#include <gtest/gtest.h>

#include "model/ModelV20.h"
#include "preview/PreviewRenderer.h"

namespace tessary {
namespace {

using K = PreviewKey;

class KeyPolling : public ::testing::Test {
 protected:
  void SetUp() override { renderer.SetKeySource(&keys); }
  // Every test lets go of its keys, so that no toggle stays armed for the next one.
  void TearDown() override {
    keys.ReleaseAll();
    renderer.PollKeys();
  }
  void Frame(std::initializer_list<K> held) {
    keys.ReleaseAll();
    for (K k : held) keys.Set(k, true);
    renderer.PollKeys();
  }

  CKeyboardState keys;
  CPreviewRenderer renderer;
};

TEST_F(KeyPolling, FreshRendererTurnsByItselfUntilAModifierStopsIt) {
  Frame({});
  Frame({});
  EXPECT_FLOAT_EQ(renderer.rotationX, 3.0f);
  EXPECT_FLOAT_EQ(renderer.rotationY, 3.0f);
  EXPECT_FLOAT_EQ(renderer.rotationZ, 0.0f);
  Frame({K::Ctrl});  // turns once more in this frame, then stops
  EXPECT_EQ(renderer.rolling, 0);
  EXPECT_FLOAT_EQ(renderer.rotationX, 4.5f);
  Frame({});
  EXPECT_FLOAT_EQ(renderer.rotationX, 4.5f);
  Frame({K::Pad2});  // starts it again, from the next frame on
  EXPECT_EQ(renderer.rolling, 1);
  EXPECT_FLOAT_EQ(renderer.rotationX, 4.5f);
  Frame({});
  EXPECT_FLOAT_EQ(renderer.rotationX, 6.0f);
  // Shift in the same frame overrides keypad 2.
  renderer.rolling = 0;
  Frame({K::Pad2, K::Shift});
  EXPECT_EQ(renderer.rolling, 0);
}

TEST_F(KeyPolling, KeypadTogglesFireOncePerPressOnRelease) {
  renderer.rolling = 0;
  Frame({K::Pad5});
  Frame({K::Pad5});
  Frame({K::Pad5});
  EXPECT_EQ(renderer.wireframe, 0);  // held: nothing yet
  Frame({});
  EXPECT_EQ(renderer.wireframe, 1);  // released: once
  Frame({});
  EXPECT_EQ(renderer.wireframe, 1);
  Frame({K::Pad5});
  Frame({});
  EXPECT_EQ(renderer.wireframe, 0);

  // Each keypad key has its own flag and its own arm.
  Frame({K::Pad1, K::Pad3});
  Frame({K::Pad3});  // keypad 1 let go first
  EXPECT_EQ(renderer.skinsOff, 1);
  EXPECT_EQ(renderer.showMaterials, 1);
  Frame({K::Pad4, K::Pad6});
  Frame({});
  EXPECT_EQ(renderer.showMaterials, 0);
  EXPECT_EQ(renderer.showUv, 0);
  EXPECT_EQ(renderer.showFloor, 0);
  EXPECT_EQ(renderer.wireframe, 0);
  EXPECT_EQ(renderer.skinsOff, 1);
}

TEST_F(KeyPolling, ArrowsFollowTheModifierTable) {
  renderer.rolling = 0;
  Frame({K::Up});
  Frame({K::Up});
  Frame({K::Down});
  EXPECT_FLOAT_EQ(renderer.offsetZ, -399.0f);
  Frame({K::Left});
  EXPECT_FLOAT_EQ(renderer.offsetZ, -419.0f);
  Frame({K::Right, K::Right});
  EXPECT_FLOAT_EQ(renderer.offsetZ, -399.0f);

  Frame({K::Shift, K::Up, K::Left});
  EXPECT_FLOAT_EQ(renderer.offsetY, 3.0f);
  EXPECT_FLOAT_EQ(renderer.offsetX, 3.0f);
  Frame({K::Shift, K::Down, K::Right});
  EXPECT_FLOAT_EQ(renderer.offsetY, 0.0f);
  EXPECT_FLOAT_EQ(renderer.offsetX, 0.0f);

  Frame({K::Ctrl, K::Up, K::Left});
  EXPECT_FLOAT_EQ(renderer.rotationX, 2.0f);
  EXPECT_FLOAT_EQ(renderer.rotationY, -2.0f);
  Frame({K::Ctrl, K::Down, K::Right, K::Right});
  EXPECT_FLOAT_EQ(renderer.rotationX, 0.0f);
  EXPECT_FLOAT_EQ(renderer.rotationY, 0.0f);

  // Shift and Ctrl together: only Left and Right, about Z.
  Frame({K::Shift, K::Ctrl, K::Left, K::Up});
  EXPECT_FLOAT_EQ(renderer.rotationZ, -2.0f);
  Frame({K::Shift, K::Ctrl, K::Right});
  Frame({K::Shift, K::Ctrl, K::Right});
  EXPECT_FLOAT_EQ(renderer.rotationZ, 2.0f);
  EXPECT_FLOAT_EQ(renderer.rotationX, 0.0f);
  EXPECT_FLOAT_EQ(renderer.offsetY, 0.0f);
  EXPECT_FLOAT_EQ(renderer.offsetZ, -399.0f);
}

TEST_F(KeyPolling, WithoutAKeySourceNothingIsPressed) {
  renderer.SetKeySource(nullptr);
  renderer.PollKeys();
  EXPECT_FLOAT_EQ(renderer.rotationX, 1.5f);
  EXPECT_FLOAT_EQ(renderer.offsetZ, -400.0f);
  EXPECT_EQ(renderer.wireframe, 0);
}

TEST(ModelCamera, ModelOperationsReachItsRenderer) {
  CModelV20 model;
  auto owner = std::make_unique<CPreviewRenderer>();
  CPreviewRenderer& renderer = *owner;
  model.SetRenderer(std::move(owner));
  model.SetRolling(0);
  model.RotateX(1.0f);
  model.RotateY(2.0f);
  model.RotateZ(3.0f);
  model.MoveX(0.5f);
  model.MoveY(-0.5f);
  model.MoveZ(10.0f);
  EXPECT_EQ(renderer.rolling, 0);
  EXPECT_FLOAT_EQ(renderer.rotationX, 1.0f);
  EXPECT_FLOAT_EQ(renderer.rotationY, 2.0f);
  EXPECT_FLOAT_EQ(renderer.rotationZ, 3.0f);
  EXPECT_FLOAT_EQ(renderer.offsetX, 0.5f);
  EXPECT_FLOAT_EQ(renderer.offsetY, -0.5f);
  EXPECT_FLOAT_EQ(renderer.offsetZ, -390.0f);
  // Without a window the model cannot be attached, and draws nothing.
  EXPECT_FALSE(model.AttachWindow(nullptr));
  EXPECT_FALSE(renderer.Draw(4));
}

}  // namespace
}  // namespace tessary
