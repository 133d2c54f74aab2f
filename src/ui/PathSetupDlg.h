#pragma once
// The Path Setup dialog: the WinRAR program and the four game folders. Constructing it
// reads the stored values (with the games' and WinRAR's own keys as fallbacks); OK stores
// all five; Cancel stores nothing.
#include <QDialog>
#include <functional>
#include <string>

#include "platform/FolderChooser.h"
#include "platform/Registry.h"
#include "platform/SettingsStore.h"
#include "ui/UserDialogs.h"
#include "workspace/PathSetup.h"

class QLineEdit;
class QPushButton;

namespace tessary::ui {

// Control ids of the dialog.
enum PathSetupControlId : int {
  kIdPathOk = 1,
  kIdPathCancel = 2,
  kIdWinRarPath = 1021,
  kIdBrowseWinRar = 1022,
  kIdCod4Path = 1023,
  kIdBrowseCod4 = 1024,
  kIdCod2Path = 1025,
  kIdBrowseCod2 = 1026,
  kIdCodUoPath = 1027,
  kIdBrowseCodUo = 1028,
  kIdCodPath = 1029,
  kIdBrowseCod = 1030,
};

class CPathSetupDlg : public QDialog {
  Q_OBJECT
 public:
  // Reads the five values now; a fallback key that cannot be opened shows its "Error" box.
  // The "..." buttons ask `dialogs` for folders.
  CPathSetupDlg(ISettingsStore& profile, IRegistryStore& registry, IUserDialogs& dialogs,
                QWidget* parent = nullptr);

  // The dialog's fields (what OK stores once it has taken the edit boxes).
  const PathSetupValues& Fields() const { return fields_; }
  QWidget* Control(int id) const;
  QLineEdit* Edit(int id) const;

  // The browse buttons' handlers. Both take the typed text of every box first, so that a
  // confirmed choice changes only its own box.
  void BrowseGameFolder(int buttonId);
  void BrowseWinRar();

  // Asks for the WinRAR program; true with `path` set when the user chose a file.
  // Replaceable for tests.
  std::function<bool(std::string& path)> chooseProgram;

  void accept() override;

 private:
  void CreateControls();
  // Writes all five edit boxes from the fields.
  void RefreshEdits();
  // Takes all five edit boxes into the fields.
  void TakeEdits();

  ISettingsStore& profile_;
  IFolderChooser& chooser_;
  PathSetupValues fields_;
};

// Runs the modal dialog, its "..." buttons asking `dialogs` for folders; true when it was
// confirmed with OK (it has then stored the five "Paths" values).
bool RunPathSetupDialog(ISettingsStore& profile, IRegistryStore& registry,
                        IUserDialogs& dialogs, QWidget* parent);

// "Choose the CoD folder" and so on: the folder browser's title for a game folder button;
// empty for other ids.
std::string GameFolderTitle(int buttonId);

// Whether `path` names a program: its extension, lower-cased, is "exe".
bool HasProgramExtension(const std::string& path);

}  // namespace tessary::ui
