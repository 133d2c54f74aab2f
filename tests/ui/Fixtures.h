#pragma once
// What the desktop program's tests share: scripted answers in place of the user, its own
// settings and working folder, the form as the program builds it, a preview window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "fixtures/ImageWriter.h"
#include "fixtures/TempWorkdir.h"
#include "fixtures/V20Writer.h"
#include "model/ModelV20.h"
#include "platform/Disk.h"
#include "platform/IniRegistry.h"
#include "platform/Path.h"
#include "platform/QtSettingsStore.h"
#include "preview/PreviewRenderer.h"
#include "ui/MainFrame.h"
#include "ui/PreviewDlg.h"
#include "ui/TessaryView.h"
#include "ui/UserDialogs.h"
#include "workspace/ProfileKeys.h"

namespace tessary::ui::test {

namespace v20 = tessary::test::v20;

class ScriptedDialogs final : public IUserDialogs {
 public:
  void ShowMessage(const std::string& text, const std::string&) override { messages.push_back(text); }
  void Beep(BeepKind kind) override { beeps.push_back(kind); }
  bool AskYesNo(const std::string&) override { return false; }
  bool BrowseForFolder(std::string& folder, const std::string& title) override {
    preselected.push_back(folder);
    browseTitles.push_back(title);
    if (folders.empty()) return false;  // cancelled
    folder = folders.front();
    folders.pop_front();
    return true;
  }
  void ShowFileError(const std::string& path, bool) override { fileErrors.push_back(path); }

  std::vector<std::string> messages, preselected, browseTitles, fileErrors;
  std::vector<BeepKind> beeps;
  std::deque<std::string> folders;
};

// Runs `command`; each time a modal `Dialog` is up, `answer` (if any) acts on it and the
// dialog is then closed. Returns how many times one was up.
template <class Dialog>
int AnswerModal(const std::function<void()>& command, const std::function<void(Dialog&)>& answer) {
  int shown = 0;
  QTimer watcher;
  QObject::connect(&watcher, &QTimer::timeout, [&] {
    if (auto* dlg = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
      ++shown;
      if (answer) answer(*dlg);
      if (dlg->isVisible()) dlg->reject();
    }
  });
  watcher.start(20);
  command();
  return shown;
}

// Every test gets its own settings file, its own other programs' keys (all of which
// exist, so that start-up shows no "Error" box) and its own working folder.
class FormTest : public ::testing::Test {
 protected:
  FormTest() {
    for (auto [root, key] : {std::pair{RegistryRoot::CurrentUser, profile::kConverterKey},
                             {RegistryRoot::LocalMachine, profile::kWinRarKey},
                             {RegistryRoot::LocalMachine, profile::kCod2Key},
                             {RegistryRoot::LocalMachine, profile::kCod4Key}})
      registry_.CreateAndWrite(root, key, "Unused", "");
  }

  std::string Stored(const char* section, const std::string& name) {
    return profile_.GetProfileString(section, name, "<none>");
  }
  void Store(const char* section, const std::string& name, const std::string& value) {
    profile_.WriteProfileString(section, name, value);
  }
  void StoreWorkingFolder() { Store(profile::kSettings, profile::kWorkingFolder, wd_.Str()); }
  // The frame with its form, as the program creates it at start; Close() stores its settings.
  CTessaryView& Start() {
    frame_ = std::make_unique<CMainFrame>(profile_, registry_, dialogs_);
    return frame_->View();
  }
  void Close() { frame_.reset(); }

  QTemporaryDir settingsDir_;
  QtSettingsStore profile_{settingsDir_.filePath("Tessary.conf").toStdString()};
  IniRegistry registry_{settingsDir_.filePath("registry.ini").toStdString()};
  tessary::test::TempWorkdir wd_;
  ScriptedDialogs dialogs_;
  std::unique_ptr<CMainFrame> frame_;
};

// "plate": one level, a square of side 120 facing the camera with a blue texture.
class PreviewWindowTest : public FormTest {
 protected:
  void SetUp() override {
    v20::FixtureSurface plate{.triangles = {{0, 1, 2}, {0, 2, 3}}};
    for (auto [x, y] : {std::pair{-60.f, -60.f}, {60.f, -60.f}, {60.f, 60.f}, {-60.f, 60.f}})
      plate.vertices.push_back({.uv = {0.5f, 0.5f}, .position = {x, y, 0}});
    wd_.Write("xmodel/plate", v20::Header({{"plate0", 0, {"mtl_plate"}}}));
    wd_.Write("xmodelparts/plate0", v20::Parts({{0, {0, 0, 0}, "root"}}));
    wd_.Write("xmodelsurfs/plate0", v20::Surfaces({plate}));
    wd_.Write("materials/mtl_plate", v20::Material("plate_col"));
    namespace img = tessary::test::images;
    wd_.Write("images/plate_col.dds", img::Dds(img::FourCc("DXT1"), 4, 4, 1, img::SolidDxt1(0x001F, 1)));
    ASSERT_TRUE(model_.Open(disk_, wd_.ModelFolder(), "plate"));
  }
  void TearDown() override { dialog_.reset(); }

  // The window on level 0, shown (not modally) and with its opening done.
  CPreviewDlg& Open() {
    dialog_ = std::make_unique<CPreviewDlg>(model_, 0, "plate0", profile_, dialogs_);
    dialog_->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog_.get()));
    QTest::qWait(50);
    return *dialog_;
  }
  bool HasContext() const { return dialog_ && dialog_->HasOpenGl() && dialog_->View().isValid(); }
  CPreviewRenderer& Renderer() const { return dialog_->Renderer(); }
  bool WaitFrames(int frames) {
    const int target = dialog_->View().FramesShown() + frames;
    return QTest::qWaitFor([&] { return dialog_->View().FramesShown() >= target; }, 2000);
  }

  Disk disk_;
  CModelV20 model_;
  std::unique_ptr<CPreviewDlg> dialog_;
};

#define OPEN_PREVIEW_OR_SKIP(dlg) \
  CPreviewDlg& dlg = Open();      \
  if (!HasContext()) GTEST_SKIP() << "the platform gives no OpenGL context"

}  // namespace tessary::ui::test
