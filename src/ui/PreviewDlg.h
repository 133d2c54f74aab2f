#pragma once
// The preview window: one level of detail of one model, drawn by the model's renderer
// into an OpenGL surface that fills the window, redrawn every 33 ms. Mouse drags turn,
// zoom and pan the camera; the keys go to the renderer, which reads them once per frame.
// The window's maximized state is kept in the settings ("MaxPreview").
#include <QBasicTimer>
#include <QCursor>
#include <QDialog>
#include <QOpenGLWidget>
#include <cstdint>
#include <optional>
#include <string>

#include "model/LoadOptions.h"
#include "preview/GlHost.h"
#include "preview/KeyState.h"

class QPushButton;

namespace tessary {
class CModel;
class CPreviewRenderer;
class INotifier;
class ISettingsStore;
}  // namespace tessary

namespace tessary::ui {

class CPreviewDlg;

// Whether the display can give the preview an OpenGL context (compatibility profile).
// Without one the form shows a message instead of the window, and a window made anyway
// stays empty: an OpenGL widget without a context is not safe on every platform.
bool PreviewOpenGlAvailable();

// The preview's key for a key event, or none: the arrows, Shift, Ctrl, and the keypad's
// 1 to 6 (only as keypad keys, which the keyboard reports as digits with Num Lock on).
std::optional<PreviewKey> PreviewKeyOf(int key, Qt::KeyboardModifiers modifiers);
// Whether a key event shows Num Lock's state: a keypad digit (on) or a keypad key that
// reports its other meaning, an arrow, Home, End, Page Up or Down, Insert, Delete or the
// middle key (off). Nullopt for every other key.
std::optional<bool> NumLockShownBy(int key, Qt::KeyboardModifiers modifiers);

// The OpenGL surface of the preview window. It owns the context (compatibility profile)
// and lends it to the renderer; its events go to the window.
class CPreviewView final : public QOpenGLWidget, public IGlHost {
 public:
  explicit CPreviewView(CPreviewDlg& dialog);

  bool MakeCurrent() override;
  void DoneCurrent() override;
  void* ProcAddress(const char* name) override;
  bool WindowSize(int& width, int& height) override;
  // The frame is in the surface's framebuffer; ask for it to be shown, unless it was
  // drawn by a paint, which shows it anyway.
  void SwapBuffers() override;

  // Frames finished (SwapBuffers calls) so far.
  int FramesShown() const { return framesShown_; }

 protected:
  void initializeGL() override;
  void paintGL() override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  CPreviewDlg& dialog_;
  bool inPaint_ = false;
  int framesShown_ = 0;
};

class CPreviewDlg final : public QDialog {
  Q_OBJECT
 public:
  // `model` has its header open and nothing else loaded; the window loads level
  // `lodIndex` when its OpenGL surface first appears. `title` is appended to the caption.
  // The maximized state is read from and written to `profile`; messages go to `notifier`.
  // All three must outlive the window.
  CPreviewDlg(CModel& model, int lodIndex, const std::string& title, ISettingsStore& profile,
              INotifier& notifier, QWidget* parent = nullptr);
  // Stores "MaxPreview" and takes the renderer off the surface before the context goes.
  ~CPreviewDlg() override;

  // Handlers, called by the surface.
  // The rest of the opening: frame timer, the model's levels, parts, window and surfaces.
  void OnContextReady();
  void OnPaint();
  void OnButtonDown();
  void OnMouseMove(int x, int y, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
  void OnKey(int key, Qt::KeyboardModifiers modifiers, bool down);
  // The help box, owned by this window so that it stays above the picture.
  void OnHelp();

  // Whether the window has an OpenGL surface; without one it stays empty.
  bool HasOpenGl() const { return view_ != nullptr; }
  CPreviewView& View() const { return *view_; }
  // The renderer the model draws through (the window gives the model one if it has none).
  CPreviewRenderer& Renderer() const { return *renderer_; }
  const CKeyboardState& Keys() const { return keys_; }
  bool FrameTimerActive() const { return frameTimer_.isActive(); }
  // Whether the last keypad key came with Num Lock off (the caption then says so).
  bool NumLockOff() const { return numLockOff_; }

  QPushButton* helpButton = nullptr;
  QCursor panCursor;
  QCursor rotateCursor;
  QCursor zoomCursor;
  int lastMouseX = 0;
  int lastMouseY = 0;
  int lodIndex;
  std::string title;
  CModel& model;
  uint8_t timerRunning = 1;

 protected:
  void timerEvent(QTimerEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // One timer frame: a false result stops the timer for good.
  void DrawTimerFrame();
  // "Preview: " + the title, with the Num Lock note while it applies.
  void ShowCaption();

  ISettingsStore& profile_;
  INotifier& notifier_;
  CPreviewView* view_ = nullptr;  // null when the platform offers no OpenGL
  QWidget* surface_ = nullptr;    // the view, or an empty stand-in
  CPreviewRenderer* renderer_ = nullptr;
  CKeyboardState keys_;
  QBasicTimer frameTimer_;
  bool opened_ = false;
  bool numLockOff_ = false;

 public:
  LoadOptions loadOptions;  // how the level is loaded when the window opens
};

// Runs the modal preview window on `model` (opened, nothing loaded yet) for level
// `lodIndex`, captioned `surfaceName`; its maximized state is kept in `profile`. Without
// OpenGL it shows a message through `notifier` instead. `options` are those asked for;
// the level applies them where it allows.
void RunPreviewDialog(CModel& model, int lodIndex, const std::string& surfaceName,
                      ISettingsStore& profile, INotifier& notifier, QWidget* parent,
                      LoadOptions options = {});

}  // namespace tessary::ui
