// The preview window: its opening, the frame timer and what happens when a frame fails,
// the maximized state kept between windows, the help button and the keys.
#include <QApplication>
#include <QFocusEvent>
#include <QPushButton>

#include "PreviewFixture.h"
#include "ui/FormStrings.h"
#include "workspace/ProfileKeys.h"

namespace tessary::ui::test {
namespace {

int Reds(const QImage& image) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      QColor c = image.pixelColor(x, y);
      n += (c.red() > 120 && c.green() < 30 && c.blue() < 30) ? 1 : 0;
    }
  return n;
}

TEST_F(PreviewWindowTest, OpensTexturedTurningAndOneTurnPerFrame) {
  OPEN_PREVIEW_OR_SKIP(dlg);
  EXPECT_EQ(dlg.windowTitle(), "Preview: plate0");
  EXPECT_TRUE(dlg.FrameTimerActive());
  EXPECT_EQ(dlg.timerRunning, 1);
  ASSERT_EQ(model_.curSurfaceCount, 1);
  // The texture loaded, so the context was there before the surfaces were handed over.
  EXPECT_TRUE((*model_.curSurfaces)[0].textureLoaded);

  ASSERT_TRUE(WaitFrames(3));
  const int frames = dlg.View().FramesShown();
  EXPECT_FLOAT_EQ(Renderer().rotationX, 1.5f * static_cast<float>(frames));
  EXPECT_FLOAT_EQ(Renderer().rotationY, 1.5f * static_cast<float>(frames));

  // Facing the camera again, the plate shows its blue texture in the middle.
  Renderer().rolling = 0;
  Renderer().rotationX = Renderer().rotationY = 0;
  ASSERT_TRUE(WaitFrames(1));
  QImage shown = dlg.View().grabFramebuffer();
  QColor middle = shown.pixelColor(shown.width() / 2, shown.height() / 2);
  EXPECT_LT(middle.red(), 10);
  EXPECT_LT(middle.green(), 10);
  EXPECT_NEAR(middle.blue(), 230, 4);
}

TEST_F(PreviewWindowTest, FalseFrameStopsTheTimerForGoodButPaintsAndResizesStillDraw) {
  OPEN_PREVIEW_OR_SKIP(dlg);
  ASSERT_TRUE(WaitFrames(1));
  Renderer().notSupported = 1;
  ASSERT_TRUE(QTest::qWaitFor([&] { return !dlg.FrameTimerActive(); }, 2000));
  EXPECT_EQ(dlg.timerRunning, 0);
  if (Renderer().fontListBase != 0) {
    EXPECT_GT(Reds(dlg.View().grabFramebuffer()), 20) << "MODEL NOT SUPPORTED! in red";
  }

  QTest::qWait(150);
  int frames = dlg.View().FramesShown();
  QTest::qWait(150);
  EXPECT_EQ(dlg.View().FramesShown(), frames) << "no more timer frames";

  dlg.resize(dlg.width() + 40, dlg.height() + 30);
  EXPECT_TRUE(QTest::qWaitFor([&] { return dlg.View().FramesShown() > frames; }, 2000))
      << "a resize draws a frame";
  frames = dlg.View().FramesShown();
  dlg.View().update();
  EXPECT_TRUE(QTest::qWaitFor([&] { return dlg.View().FramesShown() > frames; }, 2000))
      << "a paint draws a frame";
  EXPECT_FALSE(dlg.FrameTimerActive());
}

TEST_F(PreviewWindowTest, MaximizedStateIsReadOnOpenAndWrittenOnClose) {
  Open();
  EXPECT_FALSE(dialog_->isMaximized()) << "nothing stored: restored";
  dialog_->showMaximized();
  dialog_.reset();
  EXPECT_EQ(profile_.GetProfileString(profile::kSettings, profile::kMaxPreview), "1");

  Open();
  EXPECT_TRUE(dialog_->windowState() & Qt::WindowMaximized);
  dialog_->showNormal();
  dialog_.reset();
  EXPECT_EQ(profile_.GetProfileString(profile::kSettings, profile::kMaxPreview), "0");
}

TEST_F(PreviewWindowTest, HelpButtonSitsOneButtonSizeInFromTheCornerAndShowsTheHelp) {
  Open();
  CPreviewDlg& dlg = *dialog_;
  for (QSize size : {QSize(500, 400), QSize(333, 222)}) {
    dlg.resize(size);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.size() == size; }, 2000));
    const QSize button = dlg.helpButton->size();
    EXPECT_EQ(dlg.helpButton->pos(),
              QPoint(size.width() - 2 * button.width(), size.height() - 2 * button.height()));
  }
  EXPECT_EQ(dlg.helpButton->text(), "?");
  QTest::mouseClick(dlg.helpButton, Qt::LeftButton);
  ASSERT_EQ(notifier_.messages.size(), 1u);
  EXPECT_EQ(notifier_.messages[0],
            "Left Mouse = Tilt/Roll\nRight Mouse = Zoom\nCtrl + Left Mouse = Rotate\n"
            "Ctrl + Right Mouse = Pan\nShift + Mouse = Single axis Tilt/Roll\n\n"
            "KPad 1 = Toggle skins\nKPad 2 = Start rolling\nKPad 3 = Toggle materials display\n"
            "KPad 4 = Toggle UV display\nKPad 5 = Toggle wireframe\nKPad 6 = Toggle floor\n\n"
            "Up/Down Arrows = Zoom in/out slow\nLeft/Right Arrows = Zoom in/out fast");
  EXPECT_EQ(notifier_.captions[0], "Tessary");
}

TEST(PreviewKeys, KeypadKeysAreKnownOnlyByTheirKeypadIdentity) {
  EXPECT_EQ(PreviewKeyOf(Qt::Key_5, Qt::KeypadModifier), PreviewKey::Pad5);
  EXPECT_EQ(PreviewKeyOf(Qt::Key_5, Qt::NoModifier), std::nullopt) << "the row of digits";
  EXPECT_EQ(PreviewKeyOf(Qt::Key_7, Qt::KeypadModifier), std::nullopt);
  EXPECT_EQ(PreviewKeyOf(Qt::Key_End, Qt::KeypadModifier), std::nullopt) << "keypad 1, Num Lock off";
  EXPECT_EQ(PreviewKeyOf(Qt::Key_Up, Qt::KeypadModifier), PreviewKey::Up) << "keypad 8, Num Lock off";
  EXPECT_EQ(PreviewKeyOf(Qt::Key_Control, Qt::ControlModifier), PreviewKey::Ctrl);
}

TEST_F(PreviewWindowTest, KeyEventsReachTheRendererOncePerFrame) {
  OPEN_PREVIEW_OR_SKIP(dlg);
  QWidget& view = dlg.View();
  Renderer().rolling = 0;

  // A held arrow repeats every frame: one unit of zoom per frame drawn while it is down.
  const float z = Renderer().offsetZ;
  const int before = dlg.View().FramesShown();
  QTest::keyPress(&view, Qt::Key_Up);
  ASSERT_TRUE(WaitFrames(4));
  QTest::keyRelease(&view, Qt::Key_Up);
  const int drawn = dlg.View().FramesShown() - before;
  EXPECT_FLOAT_EQ(Renderer().offsetZ - z, static_cast<float>(drawn));

  // Keypad 5 held for several frames toggles the wireframe once, on release.
  const uint8_t wireframe = Renderer().wireframe;
  QTest::keyPress(&view, Qt::Key_5, Qt::KeypadModifier);
  ASSERT_TRUE(WaitFrames(3));
  EXPECT_EQ(Renderer().wireframe, wireframe);
  QTest::keyRelease(&view, Qt::Key_5, Qt::KeypadModifier);
  ASSERT_TRUE(WaitFrames(3));
  EXPECT_EQ(Renderer().wireframe, wireframe ? 0 : 1);

  // Keys let go while another window has the focus do not stay down.
  QTest::keyPress(&view, Qt::Key_Left);
  EXPECT_TRUE(dlg.Keys().IsDown(PreviewKey::Left));
  QFocusEvent focusOut(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
  QApplication::sendEvent(&view, &focusOut);
  EXPECT_FALSE(dlg.Keys().IsDown(PreviewKey::Left));
}

}  // namespace
}  // namespace tessary::ui::test
