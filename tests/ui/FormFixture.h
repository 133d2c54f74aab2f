#pragma once
// What the form tests share: a scripted stand-in for the user's answers, a temporary
// settings store, a temporary working folder and a form built the way the program builds it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fixtures/TempWorkdir.h"
#include "platform/IniRegistry.h"
#include "platform/Path.h"
#include "platform/QtSettingsStore.h"
#include "workspace/ProfileKeys.h"
#include "ui/MainFrame.h"
#include "ui/TessaryView.h"
#include "ui/UserDialogs.h"

namespace tessary::ui::test {

class ScriptedDialogs final : public IUserDialogs {
 public:
  ScriptedDialogs() : scope_(*this) {}
  void ShowMessage(const std::string& text, const std::string& caption) override {
    messages.push_back(text);
    captions.push_back(caption);
  }
  void Beep(BeepKind kind) override { beeps.push_back(kind); }
  bool AskYesNo(const std::string& text) override {
    questions.push_back(text);
    bool answer = !answers.empty() && answers.front();
    if (!answers.empty()) answers.pop_front();
    return answer;
  }
  bool BrowseForFolder(std::string& folder, const std::string& title) override {
    preselected.push_back(folder);
    browseTitles.push_back(title);
    if (folders.empty() || !folders.front()) {
      if (!folders.empty()) folders.pop_front();
      return false;
    }
    folder = *folders.front();
    folders.pop_front();
    return true;
  }
  void ShowFileError(const std::string& path, bool) override { fileErrors.push_back(path); }

  std::vector<std::string> messages, captions, questions, preselected, browseTitles, fileErrors;
  std::vector<BeepKind> beeps;
  std::deque<bool> answers;
  std::deque<std::optional<std::string>> folders;  // nullopt: cancel

 private:
  ScopedNotifier scope_;
};

// Closes every modal window that opens while it lives (a modal window would wait for a
// user who is not there), noting their titles.
class ModalCloser {
 public:
  ModalCloser() {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      if (auto* window = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        closed.push_back(window->windowTitle().toStdString());
        window->reject();
      }
    });
    timer_.start(20);
  }
  std::vector<std::string> closed;

 private:
  QTimer timer_;
};

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
  ~FormTest() override { ClearDirectoryCache(); }

  std::string Stored(const char* section, const std::string& name) {
    return profile_.GetProfileString(section, name, "<none>");
  }
  void Store(const char* section, const std::string& name, const std::string& value) {
    profile_.WriteProfileString(section, name, value);
  }
  void StoreWorkingFolder() { Store(profile::kSettings, profile::kWorkingFolder, wd_.Str()); }
  // A frame with its form, as the program creates it at start.
  CTessaryView& Start() {
    frame_ = std::make_unique<CMainFrame>(profile_, registry_, dialogs_);
    return frame_->View();
  }
  // Destroys the frame, which stores the form's settings.
  void Close() { frame_.reset(); }

  QTemporaryDir settingsDir_;
  QtSettingsStore profile_{settingsDir_.filePath("Tessary.conf").toStdString()};
  IniRegistry registry_{settingsDir_.filePath("registry.ini").toStdString()};
  tessary::test::TempWorkdir wd_;
  ScriptedDialogs dialogs_;
  std::unique_ptr<CMainFrame> frame_;
};

}  // namespace tessary::ui::test
