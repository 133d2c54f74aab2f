#pragma once
// The five external paths that the Path Setup dialog edits: read from the "Paths"
// section with fallbacks to the games' and WinRAR's own keys, and stored on OK.
#include <string>

#include "platform/Registry.h"
#include "platform/SettingsStore.h"

namespace tessary {

struct PathSetupValues {
  std::string codPath;
  std::string cod2Path;
  std::string cod4Path;
  std::string coduoPath;
  std::string winrarPath;
};

// Reads "Paths"\valueName; a non-empty value goes to `out` (true), otherwise `out` is
// left as it was (false).
bool ReadPathSetting(ISettingsStore& profile, const std::string& valueName, std::string& out);

// What constructing the dialog reads, in its order: CoD, CoDUO, CoD2 (else the second
// game's "InstallPath"), CoD4 (else the fourth game's), WinRAR (else WinRAR's App Paths
// default value). Each fallback key that cannot be opened shows the "Error" box through
// `notifier`.
PathSetupValues LoadPathSetupValues(ISettingsStore& profile, IRegistryStore& registry, INotifier& notifier);

// A game folder as the paths below it are joined: `folder` with a separator at its end
// (a folder typed by hand may lack it); empty stays empty.
std::string GameFolderPath(const std::string& folder);

// What OK stores, in its order: "WinRAR", "CoD", "CoDUO", "CoD2", "CoD4" (empty values too).
void StorePathSetupValues(ISettingsStore& profile, const PathSetupValues& values);

}  // namespace tessary
