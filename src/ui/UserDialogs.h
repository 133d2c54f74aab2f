#pragma once
// Everything the form asks of the user or tells the user: message boxes, the yes/no
// question, the folder chooser, the file-error box and beeps. The program uses the Qt
// implementation; tests put a scripted one in its place.
#include <string>

#include "platform/Asker.h"
#include "platform/FolderChooser.h"
#include "platform/Notifier.h"

class QWidget;

namespace tessary::ui {

class IUserDialogs : public INotifier, public IAsker, public IFolderChooser {
 public:
  // The box for a file that could not be opened; `path` as the user should read it.
  virtual void ShowFileError(const std::string& path, bool notFound) = 0;
};

// Message boxes, QFileDialog and QApplication::beep, owned by `owner` where a box needs one.
class QtUserDialogs final : public IUserDialogs {
 public:
  explicit QtUserDialogs(QWidget* owner = nullptr) : owner_(owner) {}
  void SetOwner(QWidget* owner) { owner_ = owner; }

  void ShowMessage(const std::string& text, const std::string& caption) override;
  void Beep(BeepKind kind) override;
  bool AskYesNo(const std::string& text) override;
  bool BrowseForFolder(std::string& folder, const std::string& title) override;
  void ShowFileError(const std::string& path, bool notFound) override;

 private:
  QWidget* owner_;
};

}  // namespace tessary::ui
