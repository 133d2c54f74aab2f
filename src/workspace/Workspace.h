#pragma once
// The workspace the main form owns for its whole life: the working folder and its six
// sub-folders, the converter and WinRAR paths and the game folders, with the operations
// that read, check and store them. Questions, the folder browser and messages go through
// the asker, the chooser and the notifier the caller hands in.
#include <array>
#include <functional>
#include <string>

#include "platform/Asker.h"
#include "platform/FolderChooser.h"
#include "platform/Notifier.h"
#include "platform/Registry.h"
#include "platform/SettingsStore.h"

namespace tessary {

class RecentFiles;

// The sub-folders of the working folder, in the order they are checked and created.
inline constexpr std::array<const char*, 6> kWorkingSubFolders = {
    "obj", "xmodel", "xmodelsurfs", "xmodelparts", "images", "materials"};

// The questions when there is no working folder to use: none is set, or the one set is gone.
inline constexpr const char* kNoWorkingFolderQuestion = "No working folder is set.\nChoose one now?";
std::string VanishedWorkingFolderQuestion(const std::string& workingFolder);
inline constexpr const char* kChooseWorkingFolderTitle = "Choose the working folder";

class Workspace {
 public:
  Workspace(ISettingsStore& profile, IRegistryStore& registry);

  std::string workingFolder;  // without a trailing separator
  std::string folderDisplay;  // workingFolder + "\xmodels", the text of the folder box
  std::string converterPath;
  bool converterFound = false;
  std::string winrarPath;
  bool winrarKeyFound = false;
  std::string codPath;
  std::string coduoPath;
  std::string cod2Path;  // game folders end with a separator
  std::string cod4Path;

  // Called whenever the fields shown by the form changed (the form refreshes its controls).
  std::function<void()> onFieldsChanged;
  // Where the folder chooser starts when there is no folder to preselect: the home
  // folder. Replaceable for tests.
  std::function<std::string()> homeFolder;

  // Reading the external paths when the form is created: the Path Setup values (read and
  // discarded), the converter's "InstallPath" and whether its key opened, WinRAR's App
  // Paths default value and whether its key opened, then "Paths"\"CoD4" and "CoD2" when set.
  // A key that cannot be opened is reported through `notifier`.
  void LoadExternalPaths(INotifier& notifier);
  // After Path Setup was confirmed: WinRAR and the game folders from "Paths", each only
  // when the stored value is not empty. The key flags stay as they were.
  void ApplyPathSetup();

  // The stored working folder and the folder box text (first step of the form's start).
  void LoadWorkingFolder();

  // When the working folder is not set or no longer exists, asks whether to choose
  // another, naming the one that is gone: Yes lets the user choose one (the chooser starts
  // at the home folder; the program's own folder is never taken), which is stored at once.
  // Then creates the missing sub-folders; a sub-folder that cannot be created is reported
  // through `notifier`, naming it. False when the user said No or cancelled the chooser;
  // nothing changes then (the folder set stays, so that it is used again once it is back).
  bool EnsureWorkingFolder(IAsker& asker, IFolderChooser& chooser, INotifier& notifier);
  // Lets the user choose the working folder (preselecting the current one, else the
  // fourth game's raw folder when that game's folder is set, else the home folder),
  // stores it and creates its sub-folders. False on cancel;
  // on true the caller refreshes the model list.
  bool ChooseWorkingFolder(IFolderChooser& chooser, IAsker& asker, INotifier& notifier);

  // Stores "ShowExploded" and empties the recent files into the profile (when the form
  // is destroyed).
  void SaveSettings(bool showExploded, RecentFiles& recentFiles);

  ISettingsStore& Profile() { return profile_; }
  IRegistryStore& Registry() { return registry_; }

 private:
  void FieldsChanged();
  ISettingsStore& profile_;
  IRegistryStore& registry_;
};

// Whether anything in the file system matches `path` (a file or a folder), matching
// letter case loosely as the games' file system does.
bool PathMatchesSomething(const std::string& path);

}  // namespace tessary
