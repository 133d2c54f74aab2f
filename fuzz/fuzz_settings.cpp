// The settings: the application profile and the other programs' keys (registry.ini) from
// one input split in two, read as the programs start, then written as Path Setup does.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "FuzzSupport.h"
#include "platform/IniRegistry.h"
#include "platform/QtSettingsStore.h"
#include "platform/Registry.h"
#include "workspace/PathSetup.h"
#include "workspace/ProfileKeys.h"
#include "workspace/Workspace.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tessary;
  using namespace tessary::fuzz;
  auto files = SplitInput(data, size, 2);
  const std::filesystem::path work = FreshWorkdir();
  WriteFile(work / "Tessary.conf", files[0]);
  WriteFile(work / "registry.ini", files[1]);
  {
    QtSettingsStore profile(work / "Tessary.conf");
    IniRegistry registry(work / "registry.ini");
    Workspace workspace(profile, registry);
    SilentNotifier quiet;
    workspace.LoadExternalPaths(quiet);
    LoadPathSetupValues(profile, registry, quiet);
    for (const char* i : {"0", "1", "2", "3", "4"}) profile.GetProfileString(profile::kRecentFiles, i);
    profile.GetProfileInt(profile::kSettings, profile::kShowExploded, 0);
    profile.WriteProfileString(profile::kPaths, profile::kCod2, "/games/cod2/");
    std::string value;
    ReadRegistryString(registry, RegistryRoot::LocalMachine, profile::kCod2Key, profile::kInstallPath, value, quiet);
    registry.Write(RegistryRoot::LocalMachine, profile::kCod2Key, profile::kInstallPath, "/games/cod2/");
    registry.CreateAndWrite(RegistryRoot::CurrentUser, profile::kConverterKey, profile::kInstallPath, "/bin/true");
    registry.DeleteKey(RegistryRoot::CurrentUser, profile::kConverterKey);
  }
  CheckNothingEscaped();
  return 0;
}
