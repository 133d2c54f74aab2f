// How fast the software renderer draws a large textured model at the preview's default
// size. Not part of the normal run (it only measures); run it with
// test_preview --gtest_also_run_disabled_tests --gtest_filter='*FrameRate*'.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <ctime>

#include "preview/HeadlessContext.h"
#include "preview/PreviewRenderer.h"

namespace tessary {
namespace {

// A curved sheet of `side` × `side` quads (two triangles each), 300 units across.
Surface Sheet(int side) {
  Surface s;
  const int n = side + 1;
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i) {
      Vertex v;
      v.position[0] = -150.0f + 300.0f * i / side;
      v.position[1] = -150.0f + 300.0f * j / side;
      v.position[2] = 20.0f * static_cast<float>((i % 7) + (j % 5));
      v.uv[0] = static_cast<float>(i) / side;
      v.uv[1] = static_cast<float>(j) / side;
      s.vertices.push_back(v);
    }
  TriList list;
  for (int j = 0; j < side; ++j)
    for (int i = 0; i < side; ++i) {
      auto at = [n](int x, int y) { return static_cast<uint16_t>(y * n + x); };
      list.indices.insert(list.indices.end(), {at(i, j), at(i + 1, j), at(i + 1, j + 1)});
      list.indices.insert(list.indices.end(), {at(i, j), at(i + 1, j + 1), at(i, j + 1)});
    }
  list.triCount = static_cast<uint32_t>(list.indices.size() / 3);
  s.vertexCount = static_cast<int32_t>(s.vertices.size());
  s.triListCount = 1;
  s.triLists.push_back(std::move(list));
  return s;
}

TEST(FrameRate, DISABLED_LargeTexturedModelAt800x600) {
  CHeadlessContext context;
  std::string error;
  ASSERT_TRUE(context.Create(800, 600, error)) << error;
  std::vector<Surface> surfaces{Sheet(159)};  // 50,562 triangles
  {
    CPreviewRenderer renderer;
    ASSERT_TRUE(renderer.Attach(&context));
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    std::vector<uint8_t> texels(256 * 256 * 3);
    for (size_t i = 0; i < texels.size(); ++i) texels[i] = static_cast<uint8_t>(i * 7);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 256, 256, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    surfaces[0].textureId = id;
    surfaces[0].textureLoaded = true;
    renderer.surfaces = &surfaces;
    renderer.surfaceCount = 1;
    for (int wire = 0; wire < 2; ++wire) {
      renderer.wireframe = static_cast<uint8_t>(wire);
      renderer.Draw(2);
      const int frames = 30;
      auto start = std::chrono::steady_clock::now();
      std::clock_t cpuStart = std::clock();
      for (int i = 0; i < frames; ++i) ASSERT_TRUE(renderer.Draw(2));
      double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      double cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
      // Processor time counts every rendering thread; on a busy machine it is the steadier figure.
      std::printf("%zu triangles, textured%s, 800x600: %.1f frames per second (%.1f ms a frame, "
                  "%.1f ms of processor time)\n",
                  surfaces[0].triLists[0].indices.size() / 3, wire ? " with edges" : "",
                  frames / seconds, 1000.0 * seconds / frames, 1000.0 * cpu / frames);
    }
    renderer.surfaces = nullptr;
    renderer.surfaceCount = 0;
  }
}

}  // namespace
}  // namespace tessary
