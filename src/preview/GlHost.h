#pragma once
// The drawing surface a renderer is attached to. The renderer never creates an OpenGL
// context of its own: the desktop program's preview widget and the headless context of
// the command line and the tests each make one and lend it through this interface.
namespace tessary {

class IGlHost {
 public:
  virtual ~IGlHost() = default;
  // Makes the host's context current on this thread; false when it cannot be.
  virtual bool MakeCurrent() = 0;
  // Leaves no context current.
  virtual void DoneCurrent() = 0;
  // An OpenGL entry point of the host's context, or null when it has none by that name.
  virtual void* ProcAddress(const char* name) = 0;
  // The size of the drawing area in pixels; false when it cannot be read (no window).
  virtual bool WindowSize(int& width, int& height) = 0;
  // Shows the frame just drawn.
  virtual void SwapBuffers() = 0;
};

}  // namespace tessary
