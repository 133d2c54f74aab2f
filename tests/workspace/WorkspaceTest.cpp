// The working folder and the start-up reading of the external paths.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <tuple>

#include "fixtures/MemorySettingsStore.h"
#include "fixtures/RecordingNotifier.h"
#include "fixtures/TempWorkdir.h"
#include "platform/IniRegistry.h"
#include "workspace/PathSetup.h"
#include "workspace/RecentFiles.h"
#include "workspace/Workspace.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;

// Answers every question with `answer` and notes the questions.
struct ScriptedAsker final : IAsker {
  bool AskYesNo(const std::string& question) override {
    questions.push_back(question);
    return answer;
  }
  bool answer = true;
  std::vector<std::string> questions;
};

// Answers the folder chooser with `answer` (cancels when it is empty) and notes where it started.
struct ScriptedChooser final : IFolderChooser {
  bool BrowseForFolder(std::string& folder, const std::string& title) override {
    started.push_back(folder + " | " + title);
    if (answer.empty()) return false;
    folder = answer;
    return true;
  }
  std::string answer;
  std::vector<std::string> started;
};

struct WorkspaceTest : ::testing::Test {
  test::MemorySettingsStore profile;
  test::TempWorkdir temp;  // also holds registry.ini and the home folder
  IniRegistry registry{temp.Path() / "registry.ini"};
  Workspace ws{profile, registry};
  ScriptedAsker asker;
  ScriptedChooser chooser;
  test::RecordingNotifier notifier;
  void SetUp() override {
    ws.homeFolder = [this] { return (temp.Path() / "home").string(); };
  }
};

TEST_F(WorkspaceTest, AVanishedWorkingFolderIsReplacedByOneTheUserChoosesFromHome) {
  const std::string vanished = (temp.Path() / "deleted").string();
  ws.workingFolder = vanished;
  profile.WriteProfileString("Settings", "WorkingFolder", vanished);
  // The question says what is gone and what Yes does; No keeps the folder and creates nothing.
  asker.answer = false;
  EXPECT_FALSE(ws.EnsureWorkingFolder(asker, chooser, notifier));
  EXPECT_EQ(asker.questions, std::vector<std::string>{"The working folder " + vanished + " no longer exists.\nChoose another?"});
  EXPECT_TRUE(chooser.started.empty());
  asker.answer = true;
  EXPECT_FALSE(ws.EnsureWorkingFolder(asker, chooser, notifier));  // cancelled: nothing changes
  EXPECT_EQ(chooser.started, std::vector<std::string>{(temp.Path() / "home").string() + " | Choose the working folder"});
  EXPECT_EQ(std::tuple(profile.GetProfileString("Settings", "WorkingFolder"), ws.workingFolder, fs::exists(vanished)),
            std::tuple(vanished, vanished, false));

  chooser.answer = (temp.Path() / "new").string();
  fs::create_directory(chooser.answer);
  EXPECT_TRUE(ws.EnsureWorkingFolder(asker, chooser, notifier));
  EXPECT_EQ(profile.GetProfileString("Settings", "WorkingFolder"), chooser.answer);  // its sub-folders: the paths command's test

  // Choosing afresh starts at the fourth game's raw folder, else at home.
  ws.workingFolder.clear();
  chooser.answer.clear();
  chooser.started.clear();
  ws.ChooseWorkingFolder(chooser, asker, notifier);
  ws.cod4Path = "/games/cod4";  // typed without a separator at its end
  ws.ChooseWorkingFolder(chooser, asker, notifier);
  EXPECT_EQ(chooser.started, (std::vector<std::string>{(temp.Path() / "home").string() + " | Choose the working folder",
                                                       "/games/cod4\\raw | Choose the working folder"}));
}

TEST_F(WorkspaceTest, RecentFilesLoadExactlyTheStoredEntries) {
  profile.WriteProfileString("RecentFiles", "0", "tank");
  profile.WriteProfileString("RecentFiles", "1", "jeep");
  RecentFiles recent;
  recent.RemoveAt(0);  // the initial empty entry, chosen and dropped
  recent.Load(profile);
  EXPECT_EQ(recent.Entries(), (std::vector<std::string>{"tank", "jeep"}));
}

TEST_F(WorkspaceTest, StartUpTellsAMissingKeyFromAMissingValue) {
  std::ofstream(temp.Path() / "registry.ini")
      << "[HKEY_CURRENT_USER\\Software\\Ravenmoor\\Pelvane\\Settings]\n"
         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Activision\\Call of Duty 2]\nInstallPath=/reg/cod2/\n";
  profile.WriteProfileString("Paths", "CoD4", "/stored/cod4/");
  ws.LoadExternalPaths(notifier);
  // WinRAR's key is missing, which is nothing to tell the user about; the converter's key
  // opens, its value is missing; the game's key only feeds the Path Setup dialog.
  EXPECT_TRUE(notifier.messages.empty());
  EXPECT_EQ(std::tuple(ws.converterFound, ws.converterPath, ws.winrarKeyFound, ws.cod4Path, ws.cod2Path),
            std::tuple(true, std::string(), false, std::string("/stored/cod4/"), std::string()));
  PathSetupValues setup = LoadPathSetupValues(profile, registry, notifier);
  EXPECT_EQ(setup.cod2Path, "/reg/cod2/");

  // After Path Setup: non-empty stored values replace the fields, empty ones keep them.
  ws.winrarPath = "/old/winrar";
  setup.winrarPath = "";
  StorePathSetupValues(profile, setup);
  ws.ApplyPathSetup();
  EXPECT_EQ(std::pair(ws.winrarPath, ws.cod2Path), std::pair(std::string("/old/winrar"), std::string("/reg/cod2/")));
}

}  // namespace
}  // namespace tessary
