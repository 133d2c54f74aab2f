#pragma once
// An OpenGL context without a window or display: EGL on Mesa's software renderer
// (surfaceless platform) drawing into an off-screen framebuffer. The command line renders
// its pictures with it, and the tests read their frames back from it.
#include <cstdint>
#include <string>
#include <vector>

#include "preview/GlHost.h"

namespace tessary {

class CHeadlessContext final : public IGlHost {
 public:
  CHeadlessContext() = default;
  ~CHeadlessContext() override;
  CHeadlessContext(const CHeadlessContext&) = delete;
  CHeadlessContext& operator=(const CHeadlessContext&) = delete;

  // Creates the context and a width × height framebuffer (colour and depth) and makes it
  // current. False with the reason in `error`.
  bool Create(int width, int height, std::string& error);

  bool MakeCurrent() override;
  void DoneCurrent() override;
  void* ProcAddress(const char* name) override;
  bool WindowSize(int& width, int& height) override;
  // Keeps a copy of the framebuffer as the frame on show.
  void SwapBuffers() override;

  // What a window would show now: the frame of the last SwapBuffers, RGBA, rows from top
  // to bottom; empty before the first.
  const std::vector<uint8_t>& ShownFrame() const { return shown_; }
  // The framebuffer as it is now, whether or not the frame was finished.
  std::vector<uint8_t> ReadBack();
  // Pretends the window was resized (a size of 0 stands for a minimised window).
  void SetReportedSize(int width, int height) { reportedWidth_ = width, reportedHeight_ = height; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  size_t FramesShown() const { return framesShown_; }

 private:
  void Release();

  void* display_ = nullptr;
  void* context_ = nullptr;
  unsigned framebuffer_ = 0;
  unsigned colourBuffer_ = 0;
  unsigned depthBuffer_ = 0;
  int width_ = 0, height_ = 0;
  int reportedWidth_ = 0, reportedHeight_ = 0;
  std::vector<uint8_t> shown_;
  size_t framesShown_ = 0;
};

}  // namespace tessary
