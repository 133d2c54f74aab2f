#include "workspace/PathSetup.h"

#include "workspace/ProfileKeys.h"

namespace tessary {

bool ReadPathSetting(ISettingsStore& profile, const std::string& valueName, std::string& out) {
  std::string value = profile.GetProfileString(profile::kPaths, valueName);
  if (value.empty()) return false;
  out = value;
  return true;
}

std::string GameFolderPath(const std::string& folder) {
  if (folder.empty() || folder.back() == '/' || folder.back() == '\\') return folder;
  return folder + "\\";
}

PathSetupValues LoadPathSetupValues(ISettingsStore& profile, IRegistryStore& registry, INotifier& notifier) {
  PathSetupValues v;
  ReadPathSetting(profile, profile::kCod, v.codPath);
  ReadPathSetting(profile, profile::kCodUo, v.coduoPath);
  if (!ReadPathSetting(profile, profile::kCod2, v.cod2Path))
    ReadRegistryString(registry, RegistryRoot::LocalMachine, profile::kCod2Key,
                       profile::kInstallPath, v.cod2Path, notifier);
  if (!ReadPathSetting(profile, profile::kCod4, v.cod4Path))
    ReadRegistryString(registry, RegistryRoot::LocalMachine, profile::kCod4Key,
                       profile::kInstallPath, v.cod4Path, notifier);
  if (!ReadPathSetting(profile, profile::kWinRar, v.winrarPath))
    ReadRegistryString(registry, RegistryRoot::LocalMachine, profile::kWinRarKey, nullptr,
                       v.winrarPath, notifier);
  return v;
}

void StorePathSetupValues(ISettingsStore& profile, const PathSetupValues& values) {
  profile.WriteProfileString(profile::kPaths, profile::kWinRar, values.winrarPath);
  profile.WriteProfileString(profile::kPaths, profile::kCod, values.codPath);
  profile.WriteProfileString(profile::kPaths, profile::kCodUo, values.coduoPath);
  profile.WriteProfileString(profile::kPaths, profile::kCod2, values.cod2Path);
  profile.WriteProfileString(profile::kPaths, profile::kCod4, values.cod4Path);
}

}  // namespace tessary
