// The working folder and the start-up reading of the external paths.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "fixtures/MemorySettingsStore.h"
#include "fixtures/RecordingNotifier.h"
#include "fixtures/TempWorkdir.h"
#include "platform/IniRegistry.h"
#include "workspace/PathSetup.h"
#include "workspace/Workspace.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;

struct YesAsker final : IAsker {
  bool AskYesNo(const std::string&) override { return true; }
};

struct WorkspaceTest : ::testing::Test {
  test::MemorySettingsStore profile;
  test::TempWorkdir temp;  // also holds registry.ini and the program's folder
  IniRegistry registry{temp.Path() / "registry.ini"};
  Workspace ws{profile, registry};
  YesAsker asker;
  void SetUp() override {
    ws.programFolder = [this] { return (temp.Path() / "program").string(); };
    fs::create_directory(temp.Path() / "program");
  }
};

TEST_F(WorkspaceTest, AMissingWorkingFolderIsReplacedByTheProgramFolderOnYes) {
  ws.workingFolder = (temp.Path() / "deleted").string();
  EXPECT_TRUE(ws.EnsureWorkingFolder(asker));
  EXPECT_EQ(profile.GetProfileString("Settings", "WorkingFolder"), (temp.Path() / "program").string());
  for (const char* sub : {"images", "materials", "obj", "xmodel", "xmodelparts", "xmodelsurfs"})
    EXPECT_TRUE(fs::is_directory(temp.Path() / "program" / sub)) << sub;
}

TEST_F(WorkspaceTest, StartUpTellsAMissingKeyFromAMissingValue) {
  std::ofstream(temp.Path() / "registry.ini")
      << "[HKEY_CURRENT_USER\\Software\\Ravenmoor\\Pelvane\\Settings]\n"
         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Activision\\Call of Duty 2]\nInstallPath=/reg/cod2/\n";
  profile.WriteProfileString("Paths", "CoD4", "/stored/cod4/");
  test::RecordingNotifier notifier;
  ws.LoadExternalPaths();
  // WinRAR's key is missing: an error for the Path Setup values and one for the form.
  EXPECT_EQ(notifier.captions, std::vector<std::string>(2, "Error"));
  EXPECT_TRUE(ws.converterFound);  // the key opens; its value is missing
  EXPECT_EQ(ws.converterPath, "");
  EXPECT_FALSE(ws.winrarKeyFound);
  EXPECT_EQ(ws.cod4Path, "/stored/cod4/");
  EXPECT_EQ(ws.cod2Path, "");  // the game's key only feeds the Path Setup dialog
  PathSetupValues setup = LoadPathSetupValues(profile, registry);
  EXPECT_EQ(setup.cod2Path, "/reg/cod2/");

  // After Path Setup: non-empty stored values replace the fields, empty ones keep them.
  ws.winrarPath = "/old/winrar";
  setup.winrarPath = "";
  StorePathSetupValues(profile, setup);
  ws.ApplyPathSetup();
  EXPECT_EQ(ws.winrarPath, "/old/winrar");
  EXPECT_EQ(ws.cod2Path, "/reg/cod2/");
}

}  // namespace
}  // namespace tessary
