// How fast a large textured model is drawn at the preview's default size. It only measures:
// test_preview --gtest_also_run_disabled_tests --gtest_filter='*FrameRate*'
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>

#include "preview/HeadlessContext.h"
#include "preview/PreviewRenderer.h"

namespace tessary {
namespace {

TEST(FrameRate, DISABLED_LargeTexturedModelAt800x600) {
  CHeadlessContext context;
  std::string error;
  ASSERT_TRUE(context.Create(800, 600, error)) << error;
  // A curved sheet of 159 × 159 quads, 300 units across: 50,562 triangles.
  const int side = 159, n = side + 1;
  std::vector<Surface> surfaces(1);
  Surface& s = surfaces[0];
  std::vector<uint16_t>& indices = s.triLists.emplace_back().indices;
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i) {
      s.vertices.push_back({{}, {float(i) / side, float(j) / side},
                            {300.0f * i / side - 150, 300.0f * j / side - 150, 20.0f * (i % 7 + j % 5)}});
      const uint16_t a = uint16_t(j * n + i), c = uint16_t(a + n + 1);
      if (i < side && j < side) indices.insert(indices.end(), {a, uint16_t(a + 1), c, a, c, uint16_t(a + n)});
    }
  s.triLists[0].triCount = uint32_t(indices.size() / 3);
  s.vertexCount = int32_t(s.vertices.size()), s.triListCount = 1;
  CPreviewRenderer renderer;
  ASSERT_TRUE(renderer.Attach(&context));
  glGenTextures(1, &s.textureId);
  glBindTexture(GL_TEXTURE_2D, s.textureId);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  std::vector<uint8_t> texels(256 * 256 * 3, 100);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 256, 256, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
  s.textureLoaded = true;
  renderer.surfaces = &surfaces;
  renderer.surfaceCount = 1;
  for (uint8_t wire : {0, 1}) {
    renderer.wireframe = wire;
    renderer.Draw(2);
    const int frames = 30;
    std::clock_t start = std::clock();  // processor time of every rendering thread: steady on a busy machine
    for (int i = 0; i < frames; ++i) ASSERT_TRUE(renderer.Draw(2));
    std::printf("textured%s: %.1f ms of processor time a frame\n", wire ? " with edges" : "",
                1000.0 * double(std::clock() - start) / CLOCKS_PER_SEC / frames);
  }
}

}  // namespace
}  // namespace tessary
