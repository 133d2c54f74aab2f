// The preview window: opened from the form, which camera value each mouse drag moves, the
// frame timer stopping for good on a failed frame.
#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QMouseEvent>

#include "Fixtures.h"
#include "ui/FormStrings.h"
#include "ui/ModelListBox.h"
#include "ui/ModelTreeView.h"

namespace tessary::ui::test {
namespace {

using Camera = std::array<float, 6>;  // rotation x, y, z; offset x, y, z
Camera Snapshot(const CPreviewRenderer& r) {
  return {r.rotationX, r.rotationY, r.rotationZ, r.offsetX, r.offsetY, r.offsetZ};
}

void Move(QWidget& view, int x, int y, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
  QPointF at(x, y);
  QMouseEvent event(QEvent::MouseMove, at, view.mapToGlobal(at), Qt::NoButton, buttons, modifiers);
  QApplication::sendEvent(&view, &event);
}

enum class CursorKind { Arrow, Rotate, Zoom, Pan };

CursorKind KindOf(const CPreviewDlg& dlg) {
  const QWidget& view = dlg.View();
  if (!view.testAttribute(Qt::WA_SetCursor)) return CursorKind::Arrow;
  if (view.cursor().shape() == Qt::SizeAllCursor) return CursorKind::Pan;
  const QImage image = view.cursor().pixmap().toImage();
  if (image == dlg.rotateCursor.pixmap().toImage()) return CursorKind::Rotate;
  if (image == dlg.zoomCursor.pixmap().toImage()) return CursorKind::Zoom;
  return CursorKind::Arrow;
}

struct DragRow {
  const char* what;
  Qt::MouseButtons buttons;
  Qt::KeyboardModifiers modifiers;
  int dx, dy;
  Camera change;  // expected change of each camera value
  CursorKind cursor;
};

// Odd pixel counts, so that the halves show.
const DragRow kDrags[] = {
    {"right + Ctrl pans", Qt::RightButton, Qt::ControlModifier, 7, -3, {0, 0, 0, 3.5f, 1.5f, 0}, CursorKind::Pan},
    {"right zooms a unit a pixel", Qt::RightButton, Qt::NoModifier, 7, -3, {0, 0, 0, 0, 0, -3}, CursorKind::Zoom},
    {"both buttons: the right wins", Qt::LeftButton | Qt::RightButton, Qt::NoModifier, 7, 5, {0, 0, 0, 0, 0, 5}, CursorKind::Zoom},
    {"left tilts and rolls", Qt::LeftButton, Qt::NoModifier, 7, -3, {-1.5f, 3.5f, 0, 0, 0, 0}, CursorKind::Rotate},
    {"left + Ctrl rotates about Z", Qt::LeftButton, Qt::ControlModifier, 7, -3, {0, 0, 3.5f, 0, 0, 0}, CursorKind::Rotate},
    {"left + Ctrl + Shift: Ctrl wins", Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier, -7, 11, {0, 0, -3.5f, 0, 0, 0}, CursorKind::Rotate},
    {"left + Shift, mostly across: Y only", Qt::LeftButton, Qt::ShiftModifier, 7, -3, {0, 3.5f, 0, 0, 0, 0}, CursorKind::Rotate},
    {"left + Shift, mostly down: X only", Qt::LeftButton, Qt::ShiftModifier, 2, 9, {4.5f, 0, 0, 0, 0, 0}, CursorKind::Rotate},
    {"left + Shift, diagonal: Y", Qt::LeftButton, Qt::ShiftModifier, -5, 5, {0, -2.5f, 0, 0, 0, 0}, CursorKind::Rotate},
    {"middle button moves nothing", Qt::MiddleButton, Qt::NoModifier, 7, -3, {0, 0, 0, 0, 0, 0}, CursorKind::Arrow},
};

TEST_F(PreviewWindowTest, FormOpensTheSelectedLevelModallyAndRemembersTheModel) {
  StoreWorkingFolder();
  CTessaryView& view = Start();
  view.ModelList().setCurrentRow(0);
  view.Tree().setCurrentItem(view.Tree().topLevelItem(0)->child(0)->child(0));
  std::vector<std::string> opened;
  AnswerModal<CPreviewDlg>([&] { view.PreviewSurface(); },
                           [&](CPreviewDlg& dlg) { opened.push_back(dlg.windowTitle().toStdString()); });
  EXPECT_EQ(view.RecentBox().findText("plate"), 1);
  if (!PreviewOpenGlAvailable())  // no window without OpenGL, but a message that says why
    EXPECT_EQ(dialogs_.messages, std::vector<std::string>{kPreviewNeedsOpenGl});
  else
    EXPECT_EQ(opened, std::vector<std::string>{"Preview: plate0"});
}

TEST_F(PreviewWindowTest, TheHelpNamesEveryKeyAndTheCaptionSaysWhenNumLockIsOff) {
  CPreviewDlg dlg(model_, 0, "plate0", profile_, dialogs_);
  QString help;
  AnswerModal<QMessageBox>([&] { dlg.OnHelp(); }, [&](QMessageBox& box) { help = box.text(); });
  for (const char* line : {"KPad 1 = Toggle skins", "Num Lock on", "Shift + Arrows = Pan", "Ctrl + Arrows = Tilt/Roll",
                           "Shift + Ctrl + Left/Right = Rotate"})
    EXPECT_TRUE(help.contains(QLatin1String(line))) << line << " is not in:\n" << help.toStdString();

  // Keypad 1 with Num Lock off arrives as End from the keypad; the ordinary End key tells nothing.
  const QString plain = "Preview: plate0", noted = plain + "  (Num Lock is off: the KPad keys toggle nothing)";
  struct Step { int key; Qt::KeyboardModifiers modifiers; QString caption; };
  const Step steps[] = {{Qt::Key_End, Qt::NoModifier, plain},        {Qt::Key_End, Qt::KeypadModifier, noted},
                        {Qt::Key_Left, Qt::NoModifier, noted},       {Qt::Key_1, Qt::KeypadModifier, plain},
                        {Qt::Key_Clear, Qt::KeypadModifier, noted},  {Qt::Key_5, Qt::KeypadModifier, plain}};
  for (const Step& step : steps) {
    dlg.OnKey(step.key, step.modifiers, true);
    dlg.OnKey(step.key, step.modifiers, false);
    EXPECT_EQ(dlg.windowTitle(), step.caption) << step.key;
  }
}

TEST_F(PreviewWindowTest, EachDragMovesItsCameraValueByItsAmountAndAClickStopsTheTurning) {
  OPEN_PREVIEW_OR_SKIP(dlg);
  QWidget& view = dlg.View();
  for (const DragRow& row : kDrags) {
    SCOPED_TRACE(row.what);
    Move(view, 100, 100, Qt::NoButton, Qt::NoModifier);  // where the drag starts
    const Camera before = Snapshot(Renderer());
    Move(view, 100 + row.dx, 100 + row.dy, row.buttons, row.modifiers);
    for (size_t i = 0; i < 6; ++i) EXPECT_FLOAT_EQ(Snapshot(Renderer())[i] - before[i], row.change[i]) << i;
    EXPECT_EQ(KindOf(dlg), row.cursor);
  }
  Move(view, 50, 50, Qt::NoButton, Qt::NoModifier);  // a move after the drag: the arrow again
  EXPECT_EQ(KindOf(dlg), CursorKind::Arrow);
  for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {  // a click stops the turning
    Renderer().rolling = 1;
    QTest::mousePress(&view, button, Qt::NoModifier, QPoint(20, 20));
    QTest::mouseRelease(&view, button, Qt::NoModifier, QPoint(20, 20));
    EXPECT_EQ(Renderer().rolling, 0) << button;
  }
}

TEST_F(PreviewWindowTest, FalseFrameStopsTheTimerForGoodButResizesStillDraw) {
  OPEN_PREVIEW_OR_SKIP(dlg);
  ASSERT_TRUE(WaitFrames(1));
  Renderer().notSupported = 1;
  ASSERT_TRUE(QTest::qWaitFor([&] { return !dlg.FrameTimerActive(); }, 2000));
  EXPECT_EQ(dlg.timerRunning, 0);
  QTest::qWait(150);
  const int frames = dlg.View().FramesShown();
  QTest::qWait(150);
  EXPECT_EQ(dlg.View().FramesShown(), frames) << "no more timer frames";
  dlg.resize(dlg.width() + 40, dlg.height() + 30);
  EXPECT_TRUE(QTest::qWaitFor([&] { return dlg.View().FramesShown() > frames; }, 2000));
  EXPECT_FALSE(dlg.FrameTimerActive());
}

}  // namespace
}  // namespace tessary::ui::test
