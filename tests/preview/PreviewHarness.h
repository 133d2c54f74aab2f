#pragma once
// A renderer attached to a small headless context, and the picture it shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "fixtures/RecordingNotifier.h"
#include "preview/HeadlessContext.h"
#include "preview/PreviewRenderer.h"

namespace tessary::test {

using Rgb = std::array<int, 3>;

inline constexpr Rgb kBackdrop{230, 230, 255};    // (0.9, 0.9, 1.8), blue clamped
inline constexpr Rgb kStripBackdrop{26, 26, 26};  // (0.1, 0.1, 0.1)
inline constexpr Rgb kFloor{128, 128, 128};
inline constexpr Rgb kGreen{0, 179, 0};  // wireframe edges
inline constexpr Rgb kRed{153, 0, 0};    // the not-supported text

inline bool Near(const Rgb& a, const Rgb& b, int tolerance = 2) {
  return std::abs(a[0] - b[0]) <= tolerance && std::abs(a[1] - b[1]) <= tolerance && std::abs(a[2] - b[2]) <= tolerance;
}

class Picture {
 public:
  Picture(std::vector<uint8_t> rgba, int width, int height) : rgba_(std::move(rgba)), width_(width), height_(height) {}
  Rgb At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || rgba_.empty()) {
      ADD_FAILURE() << "pixel (" << x << ", " << y << ") is outside the picture";
      return {-1, -1, -1};
    }
    size_t i = (size_t(y) * size_t(width_) + size_t(x)) * 4;
    return {rgba_[i], rgba_[i + 1], rgba_[i + 2]};
  }
  // Pixels of the rectangle [x0, x1) × [y0, y1), cut to the picture, near `colour`.
  int Count(const Rgb& colour, int x0, int y0, int x1, int y1, int tolerance = 2) const {
    int n = 0;
    for (int y = std::max(y0, 0); y < std::min(y1, height_); ++y)
      for (int x = std::max(x0, 0); x < std::min(x1, width_); ++x) n += Near(At(x, y), colour, tolerance);
    return n;
  }

 private:
  std::vector<uint8_t> rgba_;
  int width_, height_;
};

class PreviewHarness : public ::testing::Test {
 protected:
  static constexpr int kWidth = 320, kHeight = 240;

  void SetUp() override {
    std::string error;
    ASSERT_TRUE(context.Create(kWidth, kHeight, error)) << error;
    renderer = std::make_unique<CPreviewRenderer>(notifier);
    renderer->rolling = 0;
    ASSERT_TRUE(renderer->Attach(&context));
    CPreviewRenderer::listBlinkCounter = CPreviewRenderer::stripBlinkCounter = 0;
  }
  void TearDown() override { renderer.reset(); }
  Picture Shown() const { return Picture(context.ShownFrame(), kWidth, kHeight); }

  CHeadlessContext context;
  RecordingNotifier notifier;
  std::unique_ptr<CPreviewRenderer> renderer;
};

}  // namespace tessary::test
