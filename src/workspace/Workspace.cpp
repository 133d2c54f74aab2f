#include "workspace/Workspace.h"

#include <filesystem>
#include <system_error>

#include "platform/HomeFolder.h"
#include "platform/Disk.h"
#include "platform/Path.h"
#include "workspace/PathSetup.h"
#include "workspace/ProfileKeys.h"
#include "workspace/RecentFiles.h"

namespace fs = std::filesystem;

namespace tessary {

bool PathMatchesSomething(const std::string& path) {
  if (path.empty()) return false;
  std::error_code ec;
  return fs::symlink_status(Disk().Resolve(path), ec).type() != fs::file_type::not_found && !ec;
}

Workspace::Workspace(ISettingsStore& profile, IRegistryStore& registry)
    : homeFolder(HomeFolder), profile_(profile), registry_(registry) {}

void Workspace::FieldsChanged() {
  if (onFieldsChanged) onFieldsChanged();
}

void Workspace::LoadExternalPaths(INotifier& notifier) {
  LoadPathSetupValues(profile_, registry_, notifier);
  converterFound = ReadRegistryString(registry_, RegistryRoot::CurrentUser, profile::kConverterKey,
                                      profile::kInstallPath, converterPath, notifier);
  winrarKeyFound = ReadRegistryString(registry_, RegistryRoot::LocalMachine, profile::kWinRarKey,
                                      nullptr, winrarPath, notifier);
  ReadPathSetting(profile_, profile::kCod4, cod4Path);
  ReadPathSetting(profile_, profile::kCod2, cod2Path);
}

void Workspace::ApplyPathSetup() {
  ReadPathSetting(profile_, profile::kWinRar, winrarPath);
  ReadPathSetting(profile_, profile::kCod, codPath);
  ReadPathSetting(profile_, profile::kCodUo, coduoPath);
  ReadPathSetting(profile_, profile::kCod2, cod2Path);
  ReadPathSetting(profile_, profile::kCod4, cod4Path);
}

void Workspace::LoadWorkingFolder() {
  workingFolder = profile_.GetProfileString(profile::kSettings, profile::kWorkingFolder);
  folderDisplay = workingFolder + "\\xmodels";
  FieldsChanged();
}

std::string VanishedWorkingFolderQuestion(const std::string& workingFolder) {
  return "The working folder " + ToNativeSeparators(workingFolder) + " no longer exists.\nChoose another?";
}

bool Workspace::EnsureWorkingFolder(IAsker& asker, IFolderChooser& chooser, INotifier& notifier) {
  if (workingFolder.empty() || !PathMatchesSomething(workingFolder)) {
    if (!asker.AskYesNo(workingFolder.empty() ? std::string(kNoWorkingFolderQuestion)
                                              : VanishedWorkingFolderQuestion(workingFolder)))
      return false;
    // The program's own folder is no place for the user's files here (it may not even
    // be writable): the user says where they go.
    std::string folder = homeFolder ? homeFolder() : std::string();
    if (!chooser.BrowseForFolder(folder, kChooseWorkingFolderTitle) || folder.empty()) return false;
    workingFolder = folder;
    profile_.WriteProfileString(profile::kSettings, profile::kWorkingFolder, workingFolder);
  }
  folderDisplay = workingFolder + "\\xmodels";
  FieldsChanged();

  std::array<bool, kWorkingSubFolders.size()> missing{};
  for (size_t i = 0; i < kWorkingSubFolders.size(); ++i)
    missing[i] = !PathMatchesSomething(workingFolder + "\\" + kWorkingSubFolders[i]);
  fs::path base = Disk().Resolve(workingFolder);
  for (size_t i = 0; i < kWorkingSubFolders.size(); ++i) {
    if (!missing[i]) continue;
    std::error_code ec;
    const fs::path folder = base / kWorkingSubFolders[i];
    if (!fs::create_directory(folder, ec) && ec)
      notifier.ShowMessage("Cannot create the folder " + folder.string() + ": " + ec.message());
  }
  return true;
}

bool Workspace::ChooseWorkingFolder(IFolderChooser& chooser, IAsker& asker, INotifier& notifier) {
  std::string folder = workingFolder;
  if (folder.empty())
    folder = cod4Path.empty() ? (homeFolder ? homeFolder() : std::string())
                              : GameFolderPath(cod4Path) + "raw";
  if (!chooser.BrowseForFolder(folder, kChooseWorkingFolderTitle)) return false;
  workingFolder = folder;
  FieldsChanged();
  profile_.WriteProfileString(profile::kSettings, profile::kWorkingFolder, workingFolder);
  EnsureWorkingFolder(asker, chooser, notifier);
  return true;
}

void Workspace::SaveSettings(bool showExploded, RecentFiles& recentFiles) {
  profile_.WriteProfileInt(profile::kSettings, profile::kShowExploded, showExploded ? 1 : 0);
  recentFiles.Save(profile_);
}

}  // namespace tessary
