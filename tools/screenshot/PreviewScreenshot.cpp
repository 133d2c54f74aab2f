// Not a check: with TESSARY_PREVIEW_SCREENSHOT=FILE.png and TESSARY_SCREENSHOT_WORKDIR=DIR
// set (scripts/screenshot-preview.sh does it), opens the preview window on the first level
// of TESSARY_SCREENSHOT_MODEL in DIR, lets it turn for a second, zooms in with a
// right-button drag when TESSARY_SCREENSHOT_ZOOM asks for one, and saves the window as FILE.png.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>

#include "platform/Disk.h"
#include "fixtures/MemorySettingsStore.h"
#include "fixtures/RecordingNotifier.h"
#include "model/Model.h"
#include "model/ShowModelTree.h"
#include "ui/PreviewDlg.h"

namespace tessary::ui::test {
namespace {

void Drag(QWidget& view, QPoint from, QPoint to, Qt::MouseButton button) {
  QPointF a(from), b(to);
  QMouseEvent move(QEvent::MouseMove, a, view.mapToGlobal(a), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(&view, &move);
  QMouseEvent drag(QEvent::MouseMove, b, view.mapToGlobal(b), Qt::NoButton, button, Qt::NoModifier);
  QApplication::sendEvent(&view, &drag);
}

TEST(PreviewScreenshot, Take) {
  QString out = qEnvironmentVariable("TESSARY_PREVIEW_SCREENSHOT");
  QString workdir = qEnvironmentVariable("TESSARY_SCREENSHOT_WORKDIR");
  if (out.isEmpty() || workdir.isEmpty()) GTEST_SKIP() << "no screenshot asked for";
  std::string name = qEnvironmentVariable("TESSARY_SCREENSHOT_MODEL", "viewmodel_g3").toStdString();
  std::string folder = workdir.toStdString() + "\\xmodel";
  Disk disk;
  auto version = ReadModelVersion(disk, folder + "\\" + name);
  ASSERT_TRUE(version);
  tessary::test::RecordingNotifier notifier;  // outlives the model, whose renderer reports through it
  std::unique_ptr<CModel> model = CreateModel(*version);
  ASSERT_TRUE(model && model->Open(disk, folder, name));
  std::string level;
  {
    std::unique_ptr<CModel> names = CreateModel(*version);
    names->Open(disk, folder, name);
    names->LoadLods();
    if (!names->lods.empty()) level = names->lods[0].surfsName;
  }

  tessary::test::MemorySettingsStore profile;
  {
    CPreviewDlg dlg(*model, 0, level, profile, notifier);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    ASSERT_TRUE(dlg.HasOpenGl());
    QTest::qWait(1000);
    const int zoom = qEnvironmentVariableIntValue("TESSARY_SCREENSHOT_ZOOM");
    if (zoom != 0) Drag(dlg.View(), {200, 100}, {200, 100 + zoom}, Qt::RightButton);
    QTest::qWait(400);
    QPixmap shot = dlg.screen()->grabWindow(dlg.winId());
    if (shot.isNull()) shot = dlg.grab();
    ASSERT_TRUE(shot.save(out));
  }
}

}  // namespace
}  // namespace tessary::ui::test
