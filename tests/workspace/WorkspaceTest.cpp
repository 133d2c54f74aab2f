// The working folder and the start-up reading of the external paths, over an in-memory
// profile and a temporary registry.ini.
#include <gtest/gtest.h>

#include <algorithm>
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
using Names = std::vector<std::string>;

struct ScriptedAsker final : IAsker {
  bool answer = false;
  Names questions;
  bool AskYesNo(const std::string& text) override {
    questions.push_back(text);
    return answer;
  }
};

Names SubFolders(const fs::path& dir) {
  Names names;
  for (const auto& e : fs::directory_iterator(dir))
    if (e.is_directory()) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

struct WorkspaceTest : ::testing::Test {
  test::MemorySettingsStore profile;
  test::TempWorkdir temp;  // also holds registry.ini and the program's folder
  IniRegistry registry{temp.Path() / "registry.ini"};
  Workspace ws{profile, registry};
  ScriptedAsker asker;
  void SetUp() override {
    ws.programFolder = [this] { return (temp.Path() / "program").string(); };
    fs::create_directory(temp.Path() / "program");
  }
};

TEST_F(WorkspaceTest, EnsureCreatesOnlyMissingSubFoldersAndOffersTheProgramFolder) {
  fs::create_directories(temp.Path() / "work" / "xmodel");
  std::ofstream(temp.Path() / "work" / "obj") << "a file of that name counts as present";
  ws.workingFolder = (temp.Path() / "work").string();
  EXPECT_TRUE(ws.EnsureWorkingFolder(asker));
  EXPECT_TRUE(asker.questions.empty());
  EXPECT_EQ(SubFolders(temp.Path() / "work"), (Names{"images", "materials", "xmodel", "xmodelparts", "xmodelsurfs"}));
  EXPECT_EQ(ws.folderDisplay, ws.workingFolder + "\\xmodels");
  EXPECT_TRUE(profile.values.empty());
  // A missing working folder, and Yes: the program's folder replaces it, stored at once.
  ws.workingFolder = (temp.Path() / "deleted").string();
  asker.answer = true;
  EXPECT_TRUE(ws.EnsureWorkingFolder(asker));
  EXPECT_EQ(asker.questions, Names{"Not all of the required folders exist.\nCreate them now?"});
  EXPECT_EQ(profile.GetProfileString("Settings", "WorkingFolder"), (temp.Path() / "program").string());
  EXPECT_EQ(SubFolders(temp.Path() / "program"),
            (Names{"images", "materials", "obj", "xmodel", "xmodelparts", "xmodelsurfs"}));
}

TEST_F(WorkspaceTest, StartUpTellsAMissingKeyFromAMissingValue) {
  std::ofstream(temp.Path() / "registry.ini")
      << "[HKEY_CURRENT_USER\\Software\\Ravenmoor\\Pelvane\\Settings]\n"
         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Activision\\Call of Duty 2]\nInstallPath=/reg/cod2/\n";
  profile.WriteProfileString("Paths", "CoD4", "/stored/cod4/");
  test::RecordingNotifier notifier;
  ws.LoadExternalPaths();
  // WinRAR's key is missing: an error for the Path Setup values and one for the form.
  EXPECT_EQ(notifier.captions, (Names{"Error", "Error"}));
  EXPECT_TRUE(ws.converterFound);  // the key opens; its value is missing
  EXPECT_EQ(ws.converterPath, "");
  EXPECT_FALSE(ws.winrarKeyFound);
  EXPECT_EQ(ws.cod4Path, "/stored/cod4/");
  EXPECT_EQ(ws.cod2Path, "");  // the game's key only feeds the Path Setup dialog
  PathSetupValues setup = LoadPathSetupValues(profile, registry);
  EXPECT_EQ(setup.cod2Path, "/reg/cod2/");
  EXPECT_EQ(setup.cod4Path, "/stored/cod4/");

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
