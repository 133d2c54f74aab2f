#pragma once
// What the preview window tests share: a small textured version 20 model in its own
// working folder, an in-memory settings store, and a preview window opened on the model
// and shown, without running it modally.
#include <gtest/gtest.h>

#include <QOpenGLContext>
#include <QTest>
#include <memory>
#include <string>

#include "fixtures/ImageWriter.h"
#include "fixtures/MemorySettingsStore.h"
#include "fixtures/RecordingNotifier.h"
#include "fixtures/TempWorkdir.h"
#include "fixtures/V20Writer.h"
#include "model/ModelV20.h"
#include "preview/PreviewRenderer.h"
#include "ui/PreviewDlg.h"

namespace tessary::ui::test {

namespace v20 = tessary::test::v20;
namespace img = tessary::test::images;

// A square of side 120 facing the camera.
inline v20::FixtureSurface Plate() {
  v20::FixtureSurface s;
  const float corners[4][2] = {{-60, -60}, {60, -60}, {60, 60}, {-60, 60}};
  for (const auto& c : corners) {
    v20::FixtureVertex v;
    v.position = {c[0], c[1], 0};
    v.uv = {0.5f, 0.5f};
    s.vertices.push_back(v);
  }
  s.triangles = {{0, 1, 2}, {0, 2, 3}};
  return s;
}

class PreviewWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wd_.Write("xmodel/plate", v20::Header({{"plate0", 0, {"mtl_plate"}}}));
    wd_.Write("xmodelparts/plate0", v20::Parts({{0, {0, 0, 0}, "root"}}));
    wd_.Write("xmodelsurfs/plate0", v20::Surfaces({Plate()}));
    wd_.Write("materials/mtl_plate", v20::Material("plate_col"));
    // A blue texture: it loads only when the context exists before the surfaces arrive.
    wd_.Write("images/plate_col.dds",
              img::Dds(img::FourCc("DXT1"), 4, 4, 1, img::SolidDxt1(0x001F, 1)));
    ASSERT_TRUE(model_.Open(wd_.ModelFolder(), "plate"));
  }
  void TearDown() override { dialog_.reset(); }

  // The window on level 0 of the model, shown and with its opening done. Skips the test
  // when the platform gives no OpenGL context.
  CPreviewDlg& Open() {
    dialog_ = std::make_unique<CPreviewDlg>(model_, 0, "plate0", profile_, notifier_);
    dialog_->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog_.get()));
    QTest::qWait(50);
    return *dialog_;
  }
  bool HasContext() const {
    return dialog_ && dialog_->HasOpenGl() && dialog_->View().isValid();
  }
  CPreviewRenderer& Renderer() const { return dialog_->Renderer(); }
  // Waits until `frames` more frames were shown (or two seconds passed).
  bool WaitFrames(int frames) {
    const int target = dialog_->View().FramesShown() + frames;
    return QTest::qWaitFor([&] { return dialog_->View().FramesShown() >= target; }, 2000);
  }

  tessary::test::TempWorkdir wd_;
  tessary::test::MemorySettingsStore profile_;
  tessary::test::RecordingNotifier notifier_;
  CModelV20 model_;
  std::unique_ptr<CPreviewDlg> dialog_;
};

#define OPEN_PREVIEW_OR_SKIP(dlg)                                              \
  CPreviewDlg& dlg = Open();                                                   \
  if (!HasContext()) GTEST_SKIP() << "the platform gives no OpenGL context"

}  // namespace tessary::ui::test
