#include "preview/HeadlessContext.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdlib>
#include <cstring>

namespace tessary {

namespace {

struct FramebufferCalls {
  PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
  PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
  PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
  PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
  PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers = nullptr;
  PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
  PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
  PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
  PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;

  bool Load() {
    auto get = [](const char* name) { return eglGetProcAddress(name); };
    genFramebuffers = reinterpret_cast<PFNGLGENFRAMEBUFFERSPROC>(get("glGenFramebuffers"));
    deleteFramebuffers = reinterpret_cast<PFNGLDELETEFRAMEBUFFERSPROC>(get("glDeleteFramebuffers"));
    bindFramebuffer = reinterpret_cast<PFNGLBINDFRAMEBUFFERPROC>(get("glBindFramebuffer"));
    genRenderbuffers = reinterpret_cast<PFNGLGENRENDERBUFFERSPROC>(get("glGenRenderbuffers"));
    deleteRenderbuffers = reinterpret_cast<PFNGLDELETERENDERBUFFERSPROC>(get("glDeleteRenderbuffers"));
    bindRenderbuffer = reinterpret_cast<PFNGLBINDRENDERBUFFERPROC>(get("glBindRenderbuffer"));
    renderbufferStorage = reinterpret_cast<PFNGLRENDERBUFFERSTORAGEPROC>(get("glRenderbufferStorage"));
    framebufferRenderbuffer =
        reinterpret_cast<PFNGLFRAMEBUFFERRENDERBUFFERPROC>(get("glFramebufferRenderbuffer"));
    checkFramebufferStatus =
        reinterpret_cast<PFNGLCHECKFRAMEBUFFERSTATUSPROC>(get("glCheckFramebufferStatus"));
    return genFramebuffers && deleteFramebuffers && bindFramebuffer && genRenderbuffers &&
           deleteRenderbuffers && bindRenderbuffer && renderbufferStorage &&
           framebufferRenderbuffer && checkFramebufferStatus;
  }
};

FramebufferCalls fb;

}  // namespace

CHeadlessContext::~CHeadlessContext() { Release(); }

bool CHeadlessContext::Create(int width, int height, std::string& error) {
  Release();
  if (width <= 0 || height <= 0) {
    error = "the picture size must be at least 1x1";
    return false;
  }
  // The software renderer gives the same pictures on every machine, GPU or not.
  setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);

  EGLDisplay display = eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  if (display == EGL_NO_DISPLAY) {
    error = "no surfaceless EGL display (Mesa's EGL is needed)";
    return false;
  }
  EGLint major = 0, minor = 0;
  if (!eglInitialize(display, &major, &minor)) {
    error = "cannot initialise EGL";
    return false;
  }
  // The display is the process's one surfaceless display; it stays initialised, so the
  // next context finds the driver already loaded.
  display_ = display;
  if (!eglBindAPI(EGL_OPENGL_API)) {
    error = "EGL offers no desktop OpenGL";
    Release();
    return false;
  }
  const EGLint configAttributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_RED_SIZE, 8,
                                     EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_NONE};
  EGLConfig config = nullptr;
  EGLint configCount = 0;
  if (!eglChooseConfig(display, configAttributes, &config, 1, &configCount) || configCount < 1) {
    error = "no EGL configuration for OpenGL";
    Release();
    return false;
  }
  EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
  if (context == EGL_NO_CONTEXT) {
    error = "cannot create an OpenGL context";
    Release();
    return false;
  }
  context_ = context;
  if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) {
    error = "cannot make the OpenGL context current";
    Release();
    return false;
  }
  if (!fb.Load()) {
    error = "the OpenGL context has no framebuffer objects";
    Release();
    return false;
  }
  fb.genFramebuffers(1, &framebuffer_);
  fb.bindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  fb.genRenderbuffers(1, &colourBuffer_);
  fb.bindRenderbuffer(GL_RENDERBUFFER, colourBuffer_);
  fb.renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
  fb.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colourBuffer_);
  fb.genRenderbuffers(1, &depthBuffer_);
  fb.bindRenderbuffer(GL_RENDERBUFFER, depthBuffer_);
  fb.renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
  fb.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer_);
  if (fb.checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
    error = "cannot make an off-screen framebuffer of that size";
    Release();
    return false;
  }
  glDrawBuffer(GL_COLOR_ATTACHMENT0);
  glReadBuffer(GL_COLOR_ATTACHMENT0);
  width_ = reportedWidth_ = width;
  height_ = reportedHeight_ = height;
  return true;
}

void CHeadlessContext::Release() {
  if (display_) {
    auto display = static_cast<EGLDisplay>(display_);
    if (context_) {
      if (eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, static_cast<EGLContext>(context_)) &&
          framebuffer_) {
        fb.deleteFramebuffers(1, &framebuffer_);
        fb.deleteRenderbuffers(1, &colourBuffer_);
        fb.deleteRenderbuffers(1, &depthBuffer_);
      }
      eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
      eglDestroyContext(display, static_cast<EGLContext>(context_));
    }
  }
  display_ = context_ = nullptr;
  framebuffer_ = colourBuffer_ = depthBuffer_ = 0;
  width_ = height_ = reportedWidth_ = reportedHeight_ = 0;
  shown_.clear();
  framesShown_ = 0;
}

bool CHeadlessContext::MakeCurrent() {
  if (!display_ || !context_) return false;
  return eglMakeCurrent(static_cast<EGLDisplay>(display_), EGL_NO_SURFACE, EGL_NO_SURFACE,
                        static_cast<EGLContext>(context_)) == EGL_TRUE;
}

void CHeadlessContext::DoneCurrent() {
  if (display_) eglMakeCurrent(static_cast<EGLDisplay>(display_), EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}

void* CHeadlessContext::ProcAddress(const char* name) {
  return reinterpret_cast<void*>(eglGetProcAddress(name));
}

bool CHeadlessContext::WindowSize(int& width, int& height) {
  if (!context_) return false;
  width = reportedWidth_;
  height = reportedHeight_;
  return true;
}

void CHeadlessContext::SwapBuffers() {
  if (!context_) return;
  glFinish();
  shown_ = ReadBack();
  ++framesShown_;
}

std::vector<uint8_t> CHeadlessContext::ReadBack() {
  std::vector<uint8_t> pixels(static_cast<size_t>(width_) * static_cast<size_t>(height_) * 4);
  if (pixels.empty()) return pixels;
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  // OpenGL's rows go from bottom to top.
  const size_t row = static_cast<size_t>(width_) * 4;
  std::vector<uint8_t> line(row);
  for (int y = 0; y < height_ / 2; ++y) {
    uint8_t* a = pixels.data() + static_cast<size_t>(y) * row;
    uint8_t* b = pixels.data() + static_cast<size_t>(height_ - 1 - y) * row;
    std::memcpy(line.data(), a, row);
    std::memcpy(a, b, row);
    std::memcpy(b, line.data(), row);
  }
  return pixels;
}

}  // namespace tessary
