#pragma once
// What the form tests share: a scripted stand-in for the user's answers, a temporary
// settings store, a temporary working folder and a form built the way the program builds it.
#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fixtures/TempWorkdir.h"
#include "platform/Path.h"
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

// Every test gets its own settings file and working folder.
class FormTest : public ::testing::Test {
 protected:
  FormTest() {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir_.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir_.path());
  }
  ~FormTest() override { ClearDirectoryCache(); }

  static QSettings Profile() { return QSettings("Ravenmoor", "Tessary"); }
  void StoreWorkingFolder() {
    Profile().setValue("Settings/WorkingFolder", QString::fromStdString(wd_.Str()));
  }
  // A frame with its form, as the program creates it at start.
  CTessaryView& Start() {
    frame_ = std::make_unique<CMainFrame>(dialogs_);
    return frame_->View();
  }
  // Destroys the frame, which stores the form's settings.
  void Close() { frame_.reset(); }

  QTemporaryDir settingsDir_;
  tessary::test::TempWorkdir wd_;
  ScriptedDialogs dialogs_;
  std::unique_ptr<CMainFrame> frame_;
};

}  // namespace tessary::ui::test
