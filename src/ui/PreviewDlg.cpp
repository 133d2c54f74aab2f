#include "ui/PreviewDlg.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QSurfaceFormat>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/Disk.h"
#include "model/Model.h"
#include "model/SkinnedSurfaces.h"
#include "model/StructuralReader.h"
#include "platform/Notifier.h"
#include "platform/SettingsStore.h"
#include "preview/PreviewRenderer.h"
#include "ui/DialogUnits.h"
#include "ui/DisplayName.h"
#include "ui/FormStrings.h"
#include "workspace/ProfileKeys.h"

static void InitPreviewResources() { Q_INIT_RESOURCE(tessary); }

namespace tessary::ui {

namespace {

constexpr int kFramePeriodMs = 33;
// The window's size and the help button's first place, in dialog units.
constexpr int kDialogWidthDu = 380, kDialogHeightDu = 347;
const QRect kHelpButtonDu(7, 7, 13, 14);

// Legacy OpenGL: the renderer draws in immediate mode with display lists.
QSurfaceFormat CompatibilityFormat() {
  QSurfaceFormat format;
  format.setRenderableType(QSurfaceFormat::OpenGL);
  format.setVersion(2, 1);
  format.setProfile(QSurfaceFormat::CompatibilityProfile);
  format.setDepthBufferSize(16);
  format.setAlphaBufferSize(0);
  return format;
}

QCursor CursorFrom(const char* resource) {
  InitPreviewResources();
  QPixmap pixmap(QString::fromLatin1(resource));
  return QCursor(pixmap, pixmap.width() / 2, pixmap.height() / 2);
}

}  // namespace

bool PreviewOpenGlAvailable() {
  // These platforms may make contexts but cannot show an OpenGL widget.
  const QString platform = QGuiApplication::platformName();
  for (const char* name : {"offscreen", "minimal", "linuxfb", "vnc"})
    if (platform == QLatin1String(name)) return false;
  QOpenGLContext probe;
  probe.setFormat(CompatibilityFormat());
  return probe.create();
}

std::optional<PreviewKey> PreviewKeyOf(int key, Qt::KeyboardModifiers modifiers) {
  switch (key) {
    case Qt::Key_Up: return PreviewKey::Up;
    case Qt::Key_Down: return PreviewKey::Down;
    case Qt::Key_Left: return PreviewKey::Left;
    case Qt::Key_Right: return PreviewKey::Right;
    case Qt::Key_Shift: return PreviewKey::Shift;
    case Qt::Key_Control: return PreviewKey::Ctrl;
    default: break;
  }
  if (!(modifiers & Qt::KeypadModifier)) return std::nullopt;
  switch (key) {
    case Qt::Key_1: return PreviewKey::Pad1;
    case Qt::Key_2: return PreviewKey::Pad2;
    case Qt::Key_3: return PreviewKey::Pad3;
    case Qt::Key_4: return PreviewKey::Pad4;
    case Qt::Key_5: return PreviewKey::Pad5;
    case Qt::Key_6: return PreviewKey::Pad6;
    case Qt::Key_7: return PreviewKey::Pad7;
    default: return std::nullopt;
  }
}

std::optional<bool> NumLockShownBy(int key, Qt::KeyboardModifiers modifiers) {
  if (!(modifiers & Qt::KeypadModifier)) return std::nullopt;
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return true;
  switch (key) {
    case Qt::Key_Insert: case Qt::Key_End: case Qt::Key_Down: case Qt::Key_PageDown:
    case Qt::Key_Left: case Qt::Key_Clear: case Qt::Key_Right: case Qt::Key_Home:
    case Qt::Key_Up: case Qt::Key_PageUp: case Qt::Key_Delete:
      return false;
    default: return std::nullopt;
  }
}

// ---- the OpenGL surface ----

CPreviewView::CPreviewView(CPreviewDlg& dialog) : QOpenGLWidget(&dialog), dialog_(dialog) {
  setFormat(CompatibilityFormat());
  // No alpha in what is shown: the renderer clears to a transparent grey.
  setTextureFormat(0x8051 /* GL_RGB8 */);
  // Frames drawn by the timer stay in the framebuffer until the next one.
  setUpdateBehavior(QOpenGLWidget::PartialUpdate);
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
}

bool CPreviewView::MakeCurrent() {
  if (!context()) return false;
  makeCurrent();
  return QOpenGLContext::currentContext() == context();
}

void CPreviewView::DoneCurrent() {
  if (context()) doneCurrent();
}

void* CPreviewView::ProcAddress(const char* name) {
  if (!context()) return nullptr;
  return reinterpret_cast<void*>(context()->getProcAddress(name));
}

bool CPreviewView::WindowSize(int& width, int& height) {
  const qreal ratio = devicePixelRatioF();
  width = static_cast<int>(std::lround(this->width() * ratio));
  height = static_cast<int>(std::lround(this->height() * ratio));
  return true;
}

void CPreviewView::SwapBuffers() {
  ++framesShown_;
  if (!inPaint_) update();
}

void CPreviewView::initializeGL() { dialog_.OnContextReady(); }

void CPreviewView::paintGL() {
  inPaint_ = true;
  dialog_.OnPaint();
  inPaint_ = false;
}

void CPreviewView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton)
    dialog_.OnButtonDown();
  QOpenGLWidget::mousePressEvent(event);
}

void CPreviewView::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  dialog_.OnMouseMove(at.x(), at.y(), event->buttons(), event->modifiers());
}

// Key events only record which keys are down; Escape and the rest go on to the window.
void CPreviewView::keyPressEvent(QKeyEvent* event) {
  if (!event->isAutoRepeat()) dialog_.OnKey(event->key(), event->modifiers(), true);
  event->ignore();
}

void CPreviewView::keyReleaseEvent(QKeyEvent* event) {
  if (!event->isAutoRepeat()) dialog_.OnKey(event->key(), event->modifiers(), false);
  event->ignore();
}

void CPreviewView::focusOutEvent(QFocusEvent* event) {
  // Releases that happen in another window never reach us.
  dialog_.OnKey(0, {}, false);
  QOpenGLWidget::focusOutEvent(event);
}

// ---- the window ----

CPreviewDlg::CPreviewDlg(CModel& modelObject, int level, const std::string& caption,
                         ISettingsStore& profile, INotifier& notifier, QWidget* parent)
    : QDialog(parent,
              Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                  Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint),
      panCursor(Qt::SizeAllCursor),
      rotateCursor(CursorFrom(":/icons/rotate_cursor.xpm")),
      zoomCursor(CursorFrom(":/icons/zoom_cursor.xpm")),
      lodIndex(level),
      title(caption),
      model(modelObject),
      profile_(profile),
      notifier_(notifier) {
  // The model draws through a renderer of ours, which reads our keys.
  renderer_ = dynamic_cast<CPreviewRenderer*>(model.renderer.get());
  if (!renderer_) {
    auto owner = std::make_unique<CPreviewRenderer>(notifier_);
    renderer_ = owner.get();
    model.SetRenderer(std::move(owner));
  }
  renderer_->SetKeySource(&keys_);

  ShowCaption();
  if (PreviewOpenGlAvailable()) {
    view_ = new CPreviewView(*this);
    surface_ = view_;
  } else {
    surface_ = new QWidget(this);
    surface_->setAutoFillBackground(true);
    surface_->setPalette(QPalette(QColor(51, 51, 51)));
  }
  setFocusProxy(surface_);

  const DialogBaseUnits units = BaseUnitsOf(font());
  helpButton = new QPushButton(QStringLiteral("?"), this);
  helpButton->setGeometry(DialogToPixels(kHelpButtonDu, units));
  helpButton->setFocusPolicy(Qt::NoFocus);
  helpButton->setAutoDefault(false);
  connect(helpButton, &QPushButton::clicked, this, &CPreviewDlg::OnHelp);

  resize(DialogToPixels(QRect(0, 0, kDialogWidthDu, kDialogHeightDu), units).size());
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  if (profile_.GetProfileInt(profile::kSettings, profile::kMaxPreview, 0) != 0)
    setWindowState(windowState() | Qt::WindowMaximized);
}

CPreviewDlg::~CPreviewDlg() {
  frameTimer_.stop();
  profile_.WriteProfileInt(profile::kSettings, profile::kMaxPreview, isMaximized() ? 1 : 0);
  // The context belongs to the surface, which goes with this window; the model and its
  // renderer live on until the form destroys them.
  renderer_->SetKeySource(nullptr);
  renderer_->Detach();
}

void CPreviewDlg::OnContextReady() {
  if (opened_) return;  // a surface moved to another window makes a new context
  opened_ = true;
  frameTimer_.start(kFramePeriodMs, Qt::PreciseTimer, this);
  model.LoadLods();
  for (const std::string& message : model.TakeMessages()) notifier_.ShowMessage(message, kAppTitle);
  model.LoadParts(lodIndex);
  model.AttachWindow(static_cast<void*>(static_cast<IGlHost*>(view_)));
  LoadOptions options;
  if (lodIndex >= 0 && static_cast<size_t>(lodIndex) < model.lods.size())
    options = OptionsForLevel(loadOptions, model.lods[static_cast<size_t>(lodIndex)].surfsName);
  model.LoadSurfaces(lodIndex, true, options);
  // The form told of any surface that cannot be decoded when it checked the level.
  model.messages.clear();
  // The skinned geometry of the same level (every bone transform applied), which keypad 7
  // swaps in; a model the structural reader cannot read has none.
  std::string workdir = model.folder;
  if (workdir.size() >= 7 && workdir.compare(workdir.size() - 7, 7, "\\xmodel") == 0) workdir.resize(workdir.size() - 7);
  std::string error;
  if (auto level = ReadStructuralLevel(*model.disk, workdir, model.fileName, lodIndex, error))
    renderer_->SetAlternateSurfaces(SkinnedSurfaceRecords(*level), SkinnedLevelTable(*level));
  lastMouseX = lastMouseY = 0;
}

void CPreviewDlg::timerEvent(QTimerEvent* event) {
  if (event->timerId() == frameTimer_.timerId()) DrawTimerFrame();
  QDialog::timerEvent(event);
}

void CPreviewDlg::DrawTimerFrame() {
  if (!view_->MakeCurrent()) return;
  if (!model.Draw()) {
    frameTimer_.stop();
    timerRunning = 0;
    // A frame abandoned half-way was never shown; the paint draws the one to show.
    view_->update();
  }
}

void CPreviewDlg::OnPaint() {
  if (!timerRunning) model.Draw();
}

void CPreviewDlg::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  surface_->setGeometry(rect());
  // One button size in from the bottom-right corner.
  const QSize button = helpButton->size();
  helpButton->move(width() - 2 * button.width(), height() - 2 * button.height());
  helpButton->raise();
  helpButton->update();
  if (!timerRunning && view_) view_->repaint();
}

void CPreviewDlg::OnButtonDown() { model.SetRolling(0); }

void CPreviewDlg::OnMouseMove(int x, int y, Qt::MouseButtons buttons,
                              Qt::KeyboardModifiers modifiers) {
  const int dx = x - lastMouseX;
  const int dy = y - lastMouseY;
  const bool ctrl = modifiers & Qt::ControlModifier;
  const bool shift = modifiers & Qt::ShiftModifier;
  // The right button first: with both down the drag zooms or pans.
  if (buttons & Qt::RightButton) {
    if (ctrl) {
      surface_->setCursor(panCursor);
      model.MoveX(static_cast<float>(dx * 0.5));
      model.MoveY(static_cast<float>(-dy * 0.5));
    } else {
      surface_->setCursor(zoomCursor);
      model.MoveZ(static_cast<float>(dy));
    }
  } else if (buttons & Qt::LeftButton) {
    surface_->setCursor(rotateCursor);
    if (ctrl) {
      model.RotateZ(static_cast<float>(dx * 0.5));
    } else if (shift) {
      if (std::abs(dy) <= std::abs(dx)) model.RotateY(static_cast<float>(dx * 0.5));
      else model.RotateX(static_cast<float>(dy * 0.5));
    } else {
      model.RotateX(static_cast<float>(dy * 0.5));
      model.RotateY(static_cast<float>(dx * 0.5));
    }
  } else {
    // Outside a drag the window's own arrow, as each move outside a drag shows it.
    surface_->unsetCursor();
  }
  lastMouseX = x;
  lastMouseY = y;
}

void CPreviewDlg::OnKey(int key, Qt::KeyboardModifiers modifiers, bool down) {
  if (key == 0) {
    keys_.ReleaseAll();
    return;
  }
  if (auto previewKey = PreviewKeyOf(key, modifiers)) keys_.Set(*previewKey, down);
  if (const std::optional<bool> numLock = NumLockShownBy(key, modifiers); down && numLock && *numLock == numLockOff_) {
    numLockOff_ = !*numLock;
    ShowCaption();
  }
}

void CPreviewDlg::ShowCaption() {
  setWindowTitle(QString::fromLatin1(kPreviewCaption) + DisplayName(title) +
                 (numLockOff_ ? QString::fromLatin1(kPreviewNumLockOff) : QString()));
}

void CPreviewDlg::OnHelp() {
  QMessageBox box(QMessageBox::NoIcon, kAppTitle, kPreviewHelpText, QMessageBox::Ok, this);
  box.exec();
}

void RunPreviewDialog(CModel& model, int lodIndex, const std::string& surfaceName,
                      ISettingsStore& profile, INotifier& notifier, QWidget* parent,
                      LoadOptions options) {
  if (!PreviewOpenGlAvailable()) {
    notifier.ShowMessage(kPreviewNeedsOpenGl, kAppTitle);
    return;
  }
  // The form's wait cursor would hide the window's drag cursors while it is open.
  std::vector<QCursor> lifted;
  while (const QCursor* cursor = QGuiApplication::overrideCursor()) {
    lifted.push_back(*cursor);
    QGuiApplication::restoreOverrideCursor();
  }
  {
    CPreviewDlg dialog(model, lodIndex, surfaceName, profile, notifier, parent);
    dialog.loadOptions = options;
    dialog.exec();
  }
  for (auto it = lifted.rbegin(); it != lifted.rend(); ++it) QGuiApplication::setOverrideCursor(*it);
}

}  // namespace tessary::ui
