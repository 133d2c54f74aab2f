#include "workspace/Workspace.h"

#include <filesystem>
#include <system_error>

#include "platform/ExecutablePath.h"
#include "platform/Notifier.h"
#include "platform/Path.h"
#include "workspace/PathSetup.h"
#include "workspace/ProfileKeys.h"
#include "workspace/RecentFiles.h"

namespace fs = std::filesystem;

namespace tessary {

bool PathMatchesSomething(const std::string& path) {
  if (path.empty()) return false;
  std::error_code ec;
  return fs::symlink_status(ResolvePath(path), ec).type() != fs::file_type::not_found && !ec;
}

Workspace::Workspace(ISettingsStore& profile, IRegistryStore& registry)
    : programFolder(ExecutableFolder), profile_(profile), registry_(registry) {}

void Workspace::FieldsChanged() {
  if (onFieldsChanged) onFieldsChanged();
}

void Workspace::LoadExternalPaths() {
  LoadPathSetupValues(profile_, registry_);
  converterFound = ReadRegistryString(registry_, RegistryRoot::CurrentUser, profile::kConverterKey,
                                      profile::kInstallPath, converterPath);
  winrarKeyFound = ReadRegistryString(registry_, RegistryRoot::LocalMachine, profile::kWinRarKey,
                                      nullptr, winrarPath);
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

bool Workspace::EnsureWorkingFolder(IAsker& asker) {
  if (workingFolder.empty() || !PathMatchesSomething(workingFolder)) {
    if (!asker.AskYesNo(kCreateFoldersQuestion)) return false;
    workingFolder = programFolder ? programFolder() : std::string();
    profile_.WriteProfileString(profile::kSettings, profile::kWorkingFolder, workingFolder);
  }
  folderDisplay = workingFolder + "\\xmodels";
  FieldsChanged();
  if (workingFolder.empty()) return true;  // the program's folder is unknown: nothing to create in

  std::array<bool, kWorkingSubFolders.size()> missing{};
  for (size_t i = 0; i < kWorkingSubFolders.size(); ++i)
    missing[i] = !PathMatchesSomething(workingFolder + "\\" + kWorkingSubFolders[i]);
  fs::path base = ResolvePath(workingFolder);
  for (size_t i = 0; i < kWorkingSubFolders.size(); ++i) {
    if (!missing[i]) continue;
    std::error_code ec;
    const fs::path folder = base / kWorkingSubFolders[i];
    if (!fs::create_directory(folder, ec) && ec)
      Notifier().ShowMessage("Cannot create the folder " + folder.string() + ": " + ec.message());
  }
  ClearDirectoryCache();
  return true;
}

bool Workspace::ChooseWorkingFolder(IFolderChooser& chooser, IAsker& asker) {
  std::string folder = workingFolder.empty() ? cod4Path + "raw" : workingFolder;
  if (!chooser.BrowseForFolder(folder, kChooseWorkingFolderTitle)) return false;
  workingFolder = folder;
  FieldsChanged();
  profile_.WriteProfileString(profile::kSettings, profile::kWorkingFolder, workingFolder);
  EnsureWorkingFolder(asker);
  return true;
}

void Workspace::SaveSettings(bool showExploded, RecentFiles& recentFiles) {
  profile_.WriteProfileInt(profile::kSettings, profile::kShowExploded, showExploded ? 1 : 0);
  recentFiles.Save(profile_);
}

}  // namespace tessary
