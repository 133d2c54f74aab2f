// Whole frames drawn into the headless context and read back: layout and colours of the
// backdrop, floor, grid, thumbnail panel, surfaces and text, for both drawers.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "preview/PreviewHarness.h"

namespace tessary {
namespace {

using test::kBackdrop;
using test::kFloor;
using test::kGreen;
using test::kRed;
using test::kStripBackdrop;
using test::Near;
using test::Picture;
using test::Rgb;

constexpr Rgb kGrid{0, 102, 0};
constexpr Rgb kClear{51, 51, 51};
constexpr Rgb kWhite{255, 255, 255};

// A square of side 2 × `half` facing the camera at the origin, as one triangle list (two
// triangles) or one strip of four indices.
Surface Square(float half, bool strip) {
  Surface s;
  const float corners[4][2] = {{-half, -half}, {half, -half}, {half, half}, {-half, half}};
  const float uvs[4][2] = {{0.25f, 0.25f}, {0.75f, 0.25f}, {0.75f, 0.75f}, {0.25f, 0.75f}};
  for (int i = 0; i < 4; ++i) {
    Vertex v;
    v.position[0] = corners[i][0];
    v.position[1] = corners[i][1];
    v.uv[0] = uvs[i][0];
    v.uv[1] = uvs[i][1];
    s.vertices.push_back(v);
  }
  s.vertexCount = 4;
  s.triListCount = 1;
  TriList list;
  list.triCount = strip ? 4 : 2;
  list.indices = strip ? std::vector<uint16_t>{0, 1, 3, 2} : std::vector<uint16_t>{0, 1, 2, 0, 2, 3};
  s.triLists.push_back(list);
  return s;
}

class FrameDrawing : public test::PreviewHarness {
 protected:
  void TearDown() override {
    for (GLuint id : textures_) glDeleteTextures(1, &id);
    PreviewHarness::TearDown();
  }
  // A 1 × 1 texture of one colour, handed to `s` as if loaded.
  void GiveTexture(Surface& s, uint8_t r, uint8_t g, uint8_t b) {
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    const uint8_t texel[3] = {r, g, b};
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, texel);
    textures_.push_back(id);
    s.textureId = id;
    s.textureLoaded = true;
  }
  void Use(std::vector<Surface> list) {
    surfaces = std::move(list);
    renderer->surfaces = &surfaces;
    renderer->surfaceCount = static_cast<uint16_t>(surfaces.size());
  }
  // The pixel where a point of the untouched camera's view lands (depth `z` before the
  // camera's distance of 400 is added).
  static std::array<int, 2> Project(float x, float y, float z) {
    const double f = 1.0 / std::tan(22.5 * M_PI / 180.0);
    const double depth = 400.0 - z;
    double nx = f * (double(kHeight) / kWidth) * x / depth, ny = f * y / depth;
    return {int((nx + 1) / 2 * kWidth), int((1 - ny) / 2 * kHeight)};
  }
  Rgb Centre() const { return Shown().At(kWidth / 2, kHeight / 2); }

  std::vector<Surface> surfaces;

 private:
  std::vector<GLuint> textures_;
};

TEST_F(FrameDrawing, EmptySceneHasBackdropFloorGridAndCentredCaption) {
  ASSERT_TRUE(renderer->Draw(2));
  Picture p = Shown();
  EXPECT_TRUE(Near(p.At(kWidth - 1, 0), kBackdrop)) << test::Describe(p.At(kWidth - 1, 0));
  EXPECT_TRUE(Near(Centre(), kBackdrop));
  // The floor fills the lower part of the view and the grid lies on it.
  EXPECT_GT(p.Count(kFloor, 0, 200, kWidth, 225), kWidth * 10);
  EXPECT_GT(p.Count(kGrid, 0, 200, kWidth, 225, 12), 20);
  EXPECT_EQ(p.Count(kFloor, 0, 0, kWidth, 150), 0);
  // The caption sits at the bottom, centred by its glyph advances.
  int left = kWidth, right = -1;
  for (int y = 225; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      if (Near(p.At(x, y), kWhite, 0)) left = std::min(left, x), right = std::max(right, x);
  ASSERT_GT(right, left) << "no caption";
  EXPECT_NEAR((left + right) / 2.0, kWidth / 2.0, 4.0);
  EXPECT_GT(right - left, 60);

  renderer->showFloor = 0;
  ASSERT_TRUE(renderer->Draw(3));
  p = Shown();
  EXPECT_EQ(p.Count(kFloor, 0, 150, kWidth, 225), 0);
  EXPECT_EQ(p.Count(kGrid, 0, 150, kWidth, 225, 12), 0);
  EXPECT_GT(p.Count(kBackdrop, 0, 150, kWidth, 225), kWidth * 70);
}

TEST_F(FrameDrawing, StripDrawerShowsGridAndDarkWallWhateverTheFloorFlag) {
  renderer->showFloor = 0;
  ASSERT_TRUE(renderer->Draw(1));
  Picture p = Shown();
  EXPECT_TRUE(Near(p.At(kWidth - 1, 0), kStripBackdrop)) << test::Describe(p.At(kWidth - 1, 0));
  EXPECT_TRUE(Near(Centre(), kStripBackdrop));
  // Below the wall's foot the clear colour shows, crossed by the grid; no floor.
  EXPECT_GT(p.Count(kClear, 0, 200, kWidth, 225), kWidth * 5);
  EXPECT_GT(p.Count(kGrid, 0, 200, kWidth, 225, 12), 20);
  EXPECT_EQ(p.Count(kFloor, 0, 0, kWidth, kHeight), 0);
}

TEST_F(FrameDrawing, UntexturedSurfaceIsGreyAndWireframeEdgesAreGreen) {
  Use({Square(50, false)});
  ASSERT_TRUE(renderer->Draw(2));
  Rgb c = Centre();
  EXPECT_EQ(c[0], c[1]);
  EXPECT_EQ(c[1], c[2]);
  EXPECT_GE(c[0], 126);
  EXPECT_LE(c[0], 144);

  // A flat triangle (three points on one line) fills nothing, so its edges show whole.
  Surface needle = Square(50, false);
  needle.vertices[0].position[1] = needle.vertices[1].position[1] = needle.vertices[2].position[1] = 0;
  needle.vertices[2].position[0] = 0;
  needle.triLists[0].triCount = 1;
  Use({needle});
  auto edgePixels = [this] { return Shown().Count(kGreen, 0, 0, kWidth, kHeight, 12); };
  renderer->wireframe = 1;
  renderer->skinsOff = 1;
  ASSERT_TRUE(renderer->Draw(2));
  int thin = edgePixels();
  EXPECT_GT(thin, 60);  // 100 units at the distance of 400: about 72 pixels long
  EXPECT_LT(thin, 72 * 3 / 2);

  // Textured lists get edges twice as wide.
  GiveTexture(surfaces[0], 200, 40, 40);
  renderer->skinsOff = 0;
  ASSERT_TRUE(renderer->Draw(2));
  EXPECT_GT(edgePixels(), thin * 8 / 5);
}

TEST_F(FrameDrawing, TexturedSurfaceIsTintedAndSkinsOffDropsTheTexture) {
  Use({Square(50, false)});
  GiveTexture(surfaces[0], 200, 100, 0);
  ASSERT_TRUE(renderer->Draw(2));
  EXPECT_TRUE(Near(Centre(), {180, 90, 0}, 3)) << test::Describe(Centre());
  renderer->skinsOff = 1;
  ASSERT_TRUE(renderer->Draw(2));
  EXPECT_EQ(Centre()[0], Centre()[2]);
}

TEST_F(FrameDrawing, SixTexturedSurfacesMakeTwoThumbnailRows) {
  std::vector<Surface> six;
  const Rgb colours[6] = {{250, 0, 0}, {0, 250, 0}, {0, 0, 250}, {250, 250, 0}, {0, 250, 250}, {250, 0, 250}};
  for (const Rgb& c : colours) {
    Surface s = Square(1, false);
    GiveTexture(s, uint8_t(c[0]), uint8_t(c[1]), uint8_t(c[2]));
    six.push_back(std::move(s));
  }
  Use(std::move(six));
  renderer->showUv = 0;
  ASSERT_TRUE(renderer->Draw(2));
  Picture p = Shown();
  // Row one: five thumbnails from x = −500 at y = 220; row two: one at y = 17.
  for (int i = 0; i < 5; ++i) {
    auto [x, y] = Project(-400 + 203 * i, 320, -500);
    EXPECT_TRUE(Near(p.At(x, y), colours[i], 3)) << "thumbnail " << i << " " << test::Describe(p.At(x, y));
  }
  auto [x6, y6] = Project(-400, 117, -500);
  EXPECT_TRUE(Near(p.At(x6, y6), colours[5], 3)) << test::Describe(p.At(x6, y6));
  auto [x7, y7] = Project(-197, 117, -500);
  EXPECT_TRUE(Near(p.At(x7, y7), kBackdrop)) << test::Describe(p.At(x7, y7));

  // Without the panel, the thumbnails' places show the backdrop.
  renderer->showMaterials = 0;
  ASSERT_TRUE(renderer->Draw(2));
  EXPECT_TRUE(Near(Shown().At(x6, y6), kBackdrop));
}

TEST_F(FrameDrawing, UvLayoutIsDrawnOverTheThumbnail) {
  Use({Square(1, false)});
  GiveTexture(surfaces[0], 250, 0, 0);
  auto [x0, y0] = Project(-500, 420, -500);
  auto [x1, y1] = Project(-300, 220, -500);
  renderer->showUv = 0;
  ASSERT_TRUE(renderer->Draw(2));
  EXPECT_EQ(Shown().Count(kWhite, x0 + 1, y0 + 1, x1 - 1, y1 - 1, 20), 0);
  renderer->showUv = 1;
  ASSERT_TRUE(renderer->Draw(2));
  // The square's UVs span the middle half of the thumbnail: its outline and diagonal.
  int lines = Shown().Count(kWhite, x0 + 1, y0 + 1, x1 - 1, y1 - 1, 20);
  EXPECT_GT(lines, 40);
  EXPECT_LT(lines, (x1 - x0) * (y1 - y0) / 3);
}

TEST_F(FrameDrawing, UnsupportedTexturedSurfaceShowsTheRedMessage) {
  // An untextured surface marked unsupported does not count.
  Use({Square(50, false)});
  surfaces[0].unsupported = true;
  EXPECT_TRUE(renderer->Draw(2));
  EXPECT_EQ(renderer->notSupported, 0);

  GiveTexture(surfaces[0], 0, 0, 250);
  size_t shown = context.FramesShown();
  EXPECT_FALSE(renderer->Draw(2));
  EXPECT_EQ(context.FramesShown(), shown + 1);
  EXPECT_EQ(renderer->notSupported, 1);
  Picture p = Shown();
  EXPECT_GT(p.Count(kRed, 0, kHeight / 2 - 20, kWidth, kHeight / 2 + 20, 12), 100);
  EXPECT_EQ(p.Count(kRed, 0, 0, kWidth, kHeight / 2 - 30, 12), 0);
  // The model itself is not drawn; the backdrop and floor still are.
  EXPECT_EQ(p.Count({0, 0, 225}, kWidth / 2 - 30, kHeight / 2 - 30, kWidth / 2 + 30, kHeight / 2 + 30, 3), 0);
  EXPECT_GT(p.Count(kFloor, 0, 200, kWidth, 225), kWidth * 10);
  // The mark stays for good.
  surfaces[0].unsupported = false;
  EXPECT_FALSE(renderer->Draw(2));
}

TEST_F(FrameDrawing, BadIndexOrMissingDataAbandonsTheFrame) {
  auto run = [this](std::function<void(Surface&)> damage, bool textured) {
    Use({Square(50, false)});
    if (textured) GiveTexture(surfaces[0], 9, 9, 9);
    damage(surfaces[0]);
    renderer->notSupported = 0;
    size_t before = context.FramesShown();
    EXPECT_FALSE(renderer->Draw(2));
    EXPECT_EQ(renderer->notSupported, 1);
    EXPECT_EQ(context.FramesShown(), before);  // abandoned: nothing swapped
    EXPECT_FALSE(renderer->Draw(2));           // the next frame says why
    EXPECT_GT(Shown().Count(kRed, 0, kHeight / 2 - 20, kWidth, kHeight / 2 + 20, 12), 100);
  };
  run([](Surface& s) { s.triLists[0].indices[4] = 4; }, false);
  run([](Surface& s) { s.vertexCount = 2; }, false);
  run([](Surface& s) { s.vertices.resize(3); }, false);
  run([](Surface& s) { s.triListCount = 2; }, false);
  run([](Surface& s) { s.triLists[0].triCount = 3; }, false);
  // The UV panel reads the same indices and checks them the same way.
  run([](Surface& s) { s.triLists[0].indices[0] = 900; }, true);
}

TEST_F(FrameDrawing, StripsDrawOverlappingTriangles) {
  Use({Square(50, true)});
  ASSERT_TRUE(renderer->Draw(1));
  Picture p = Shown();
  // Both triangles of the strip 0, 1, 3, 2 are there: points near two opposite corners.
  auto [xa, ya] = Project(-40, -40, 0);
  auto [xb, yb] = Project(40, 40, 0);
  EXPECT_FALSE(Near(p.At(xa, ya), kStripBackdrop, 10)) << test::Describe(p.At(xa, ya));
  EXPECT_FALSE(Near(p.At(xb, yb), kStripBackdrop, 10)) << test::Describe(p.At(xb, yb));

  // A strip of fewer than three indices draws nothing; the frame is still fine.
  surfaces[0].triLists[0].triCount = 2;
  ASSERT_TRUE(renderer->Draw(1));
  EXPECT_TRUE(Near(Centre(), kStripBackdrop));
  surfaces[0].triLists[0].triCount = 0;
  ASSERT_TRUE(renderer->Draw(0));
  EXPECT_TRUE(Near(Centre(), kStripBackdrop));
}

TEST_F(FrameDrawing, BlinkingSurfaceIsDrawnEveryThirdFrame) {
  Use({Square(50, false)});
  surfaces[0].blink = 1;
  std::string seen;
  for (int frame = 0; frame < 6; ++frame) {
    ASSERT_TRUE(renderer->Draw(2));
    seen += Near(Centre(), kBackdrop) ? '.' : '#';
  }
  EXPECT_EQ(seen, "..#..#");
  // The strip drawer counts on its own.
  ASSERT_TRUE(renderer->Draw(1));
  EXPECT_TRUE(Near(Centre(), kStripBackdrop));
}

TEST_F(FrameDrawing, UnknownVariantDrawsNothing) {
  size_t before = context.FramesShown();
  EXPECT_FALSE(renderer->Draw(4));
  EXPECT_FALSE(renderer->Draw(-1));
  EXPECT_EQ(context.FramesShown(), before);
}

TEST_F(FrameDrawing, ZeroSizedWindowKeepsTheProjection) {
  GLint viewport[4];
  context.SetReportedSize(0, 0);
  EXPECT_TRUE(renderer->UpdateProjection());
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], kWidth);
  EXPECT_EQ(viewport[3], kHeight);
  context.SetReportedSize(kWidth / 2, kHeight);
  EXPECT_TRUE(renderer->UpdateProjection());
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], kWidth / 2);
  EXPECT_EQ(viewport[3], kHeight);

  // A host that cannot tell its size.
  CHeadlessContext none;
  CPreviewRenderer detached;
  EXPECT_FALSE(detached.UpdateProjection());
  EXPECT_FALSE(detached.Attach(&none));
}

}  // namespace
}  // namespace tessary
