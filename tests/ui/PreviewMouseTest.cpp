// Mouse drags on the preview: which camera value each button and modifier moves, by how
// much, with which cursor; clicks stop the turning.
#include <QApplication>
#include <QMouseEvent>

#include "PreviewFixture.h"

namespace tessary::ui::test {
namespace {

struct Camera {
  float rotationX, rotationY, rotationZ, offsetX, offsetY, offsetZ;
};
Camera Snapshot(const CPreviewRenderer& r) {
  return {r.rotationX, r.rotationY, r.rotationZ, r.offsetX, r.offsetY, r.offsetZ};
}

void Move(QWidget& view, int x, int y, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
  QPointF at(x, y);
  QMouseEvent event(QEvent::MouseMove, at, view.mapToGlobal(at), Qt::NoButton, buttons, modifiers);
  QApplication::sendEvent(&view, &event);
}

void Press(QWidget& view, Qt::MouseButton button) {
  QPointF at(10, 10);
  QMouseEvent event(QEvent::MouseButtonPress, at, view.mapToGlobal(at), button, button,
                    Qt::NoModifier);
  QApplication::sendEvent(&view, &event);
}

enum class CursorKind { Arrow, Rotate, Zoom, Pan };

CursorKind KindOf(const CPreviewDlg& dlg) {
  const QWidget& view = dlg.View();
  if (!view.testAttribute(Qt::WA_SetCursor)) return CursorKind::Arrow;
  const QCursor cursor = view.cursor();
  if (cursor.shape() == Qt::SizeAllCursor) return CursorKind::Pan;
  const QImage image = cursor.pixmap().toImage();
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
    {"right + Shift zooms too", Qt::RightButton, Qt::ShiftModifier, 7, 5, {0, 0, 0, 0, 0, 5}, CursorKind::Zoom},
    {"both buttons: the right wins", Qt::LeftButton | Qt::RightButton, Qt::NoModifier, 7, 5, {0, 0, 0, 0, 0, 5}, CursorKind::Zoom},
    {"both buttons + Ctrl pan", Qt::LeftButton | Qt::RightButton, Qt::ControlModifier, -5, 9, {0, 0, 0, -2.5f, -4.5f, 0}, CursorKind::Pan},
    {"left tilts and rolls", Qt::LeftButton, Qt::NoModifier, 7, -3, {-1.5f, 3.5f, 0, 0, 0, 0}, CursorKind::Rotate},
    {"left + Ctrl rotates about Z", Qt::LeftButton, Qt::ControlModifier, 7, -3, {0, 0, 3.5f, 0, 0, 0}, CursorKind::Rotate},
    {"left + Ctrl + Shift: Ctrl wins", Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier, -7, 11, {0, 0, -3.5f, 0, 0, 0}, CursorKind::Rotate},
    {"left + Shift, mostly across: Y only", Qt::LeftButton, Qt::ShiftModifier, 7, -3, {0, 3.5f, 0, 0, 0, 0}, CursorKind::Rotate},
    {"left + Shift, mostly down: X only", Qt::LeftButton, Qt::ShiftModifier, 2, 9, {4.5f, 0, 0, 0, 0, 0}, CursorKind::Rotate},
    {"left + Shift, diagonal: Y", Qt::LeftButton, Qt::ShiftModifier, -5, 5, {0, -2.5f, 0, 0, 0, 0}, CursorKind::Rotate},
    {"no button moves nothing", Qt::NoButton, Qt::ControlModifier, 7, -3, {0, 0, 0, 0, 0, 0}, CursorKind::Arrow},
    {"middle button moves nothing", Qt::MiddleButton, Qt::NoModifier, 7, -3, {0, 0, 0, 0, 0, 0}, CursorKind::Arrow},
};

TEST_F(PreviewWindowTest, EachDragMovesItsCameraValueByItsAmount) {
  OPEN_PREVIEW_OR_SKIP(dlg);
  QWidget& view = dlg.View();
  for (const DragRow& row : kDrags) {
    SCOPED_TRACE(row.what);
    Renderer().rolling = 0;
    Move(view, 100, 100, Qt::NoButton, Qt::NoModifier);  // where the drag starts
    const Camera before = Snapshot(Renderer());
    Move(view, 100 + row.dx, 100 + row.dy, row.buttons, row.modifiers);
    const Camera after = Snapshot(Renderer());
    EXPECT_FLOAT_EQ(after.rotationX - before.rotationX, row.change.rotationX);
    EXPECT_FLOAT_EQ(after.rotationY - before.rotationY, row.change.rotationY);
    EXPECT_FLOAT_EQ(after.rotationZ - before.rotationZ, row.change.rotationZ);
    EXPECT_FLOAT_EQ(after.offsetX - before.offsetX, row.change.offsetX);
    EXPECT_FLOAT_EQ(after.offsetY - before.offsetY, row.change.offsetY);
    EXPECT_FLOAT_EQ(after.offsetZ - before.offsetZ, row.change.offsetZ);
    EXPECT_EQ(KindOf(dlg), row.cursor);
    EXPECT_EQ(dlg.lastMouseX, 100 + row.dx);
    EXPECT_EQ(dlg.lastMouseY, 100 + row.dy);
  }
  // A move after the drag gives the arrow back.
  Move(view, 50, 50, Qt::NoButton, Qt::NoModifier);
  EXPECT_EQ(KindOf(dlg), CursorKind::Arrow);
}

TEST_F(PreviewWindowTest, FirstMoveMeasuresFromTheCorner) {
  OPEN_PREVIEW_OR_SKIP(dlg);
  Renderer().rolling = 0;
  const Camera before = Snapshot(Renderer());
  Move(dlg.View(), 30, 12, Qt::LeftButton, Qt::NoModifier);
  EXPECT_FLOAT_EQ(Renderer().rotationX - before.rotationX, 6.0f);
  EXPECT_FLOAT_EQ(Renderer().rotationY - before.rotationY, 15.0f);
}

TEST_F(PreviewWindowTest, LeftOrRightClickStopsTheTurningMiddleDoesNot) {
  OPEN_PREVIEW_OR_SKIP(dlg);
  QWidget& view = dlg.View();
  EXPECT_EQ(Renderer().rolling, 1) << "a fresh preview turns by itself";
  Press(view, Qt::MiddleButton);
  EXPECT_EQ(Renderer().rolling, 1);
  Press(view, Qt::LeftButton);
  EXPECT_EQ(Renderer().rolling, 0);
  Renderer().rolling = 1;
  Press(view, Qt::RightButton);
  EXPECT_EQ(Renderer().rolling, 0);
}

}  // namespace
}  // namespace tessary::ui::test
