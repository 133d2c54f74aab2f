// The working folder, the recent-files list and the start-up reading of the external
// paths, over an in-memory profile and a temporary registry.ini.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "fixtures/MemorySettingsStore.h"
#include "fixtures/RecordingNotifier.h"
#include "fixtures/TempWorkdir.h"
#include "platform/IniRegistry.h"
#include "workspace/PathSetup.h"
#include "workspace/ProfileKeys.h"
#include "workspace/RecentFiles.h"
#include "workspace/Workspace.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;
using test::MemorySettingsStore;
using test::RecordingNotifier;
using test::TempWorkdir;

class ScriptedAsker final : public IAsker {
 public:
  explicit ScriptedAsker(bool answer) : answer_(answer) {}
  bool AskYesNo(const std::string& text) override {
    questions.push_back(text);
    return answer_;
  }
  std::vector<std::string> questions;

 private:
  bool answer_;
};

class ScriptedChooser final : public IFolderChooser {
 public:
  explicit ScriptedChooser(std::optional<std::string> choice) : choice_(std::move(choice)) {}
  bool BrowseForFolder(std::string& folder, const std::string& title) override {
    preselected = folder;
    titles.push_back(title);
    if (!choice_) return false;
    folder = *choice_;
    return true;
  }
  std::string preselected;
  std::vector<std::string> titles;

 private:
  std::optional<std::string> choice_;
};

std::vector<std::string> SubFolders(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir))
    if (e.is_directory()) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

const std::vector<std::string> kAllSix = {"images", "materials", "obj", "xmodel", "xmodelparts", "xmodelsurfs"};

struct WorkspaceTest : ::testing::Test {
  MemorySettingsStore profile;
  TempWorkdir temp;  // also holds registry.ini
  IniRegistry registry{temp.Path() / "registry.ini"};
  Workspace ws{profile, registry};
  void SetUp() override {
    ws.programFolder = [this] { return (temp.Path() / "program").string(); };
    fs::create_directory(temp.Path() / "program");
  }
  void Registry(const std::string& text) {
    std::ofstream(temp.Path() / "registry.ini") << text;
  }
};

TEST(RecentFilesTest, KeepsTheLastFiveIgnoringLetterCase) {
  RecentFiles recent;
  EXPECT_EQ(recent.Entries(), std::vector<std::string>{""});
  for (const char* name : {"a", "b", "c", "d"}) recent.AddRecentFile(name);
  EXPECT_EQ(recent.Entries(), (std::vector<std::string>{"", "a", "b", "c", "d"}));
  recent.AddRecentFile("B");  // already there in another case: nothing moves
  EXPECT_EQ(recent.Entries(), (std::vector<std::string>{"", "a", "b", "c", "d"}));
  recent.AddRecentFile("e");  // the initial empty entry goes first
  recent.AddRecentFile("f");
  EXPECT_EQ(recent.Entries(), (std::vector<std::string>{"b", "c", "d", "e", "f"}));
}

TEST(RecentFilesTest, SaveEmptiesTheListAndLeavesHigherValues) {
  MemorySettingsStore profile;
  for (int i = 0; i < 5; ++i) profile.WriteProfileString("RecentFiles", std::to_string(i), "old" + std::to_string(i));
  RecentFiles recent;
  recent.AddRecentFile("tank");
  recent.AddRecentFile("jeep");
  recent.Save(profile);
  EXPECT_TRUE(recent.Entries().empty());
  EXPECT_EQ(profile.GetProfileString("RecentFiles", "0"), "");  // the initial empty entry
  EXPECT_EQ(profile.GetProfileString("RecentFiles", "1"), "tank");
  EXPECT_EQ(profile.GetProfileString("RecentFiles", "2"), "jeep");
  EXPECT_EQ(profile.GetProfileString("RecentFiles", "3"), "old3");
  EXPECT_EQ(profile.GetProfileString("RecentFiles", "4"), "old4");

  // Loading adds the non-empty values to what the list holds, without emptying it.
  RecentFiles next;
  next.AddRecentFile("JEEP");
  next.Load(profile);
  EXPECT_EQ(next.Entries(), (std::vector<std::string>{"", "JEEP", "tank", "old3", "old4"}));
}

TEST_F(WorkspaceTest, EnsureCreatesOnlyMissingSubFolders) {
  fs::create_directories(temp.Path() / "work" / "xmodel");
  std::ofstream(temp.Path() / "work" / "obj") << "a file of that name counts as present";
  ws.workingFolder = (temp.Path() / "work").string();
  ScriptedAsker asker(false);
  EXPECT_TRUE(ws.EnsureWorkingFolder(asker));
  EXPECT_TRUE(asker.questions.empty());
  EXPECT_EQ(SubFolders(temp.Path() / "work"),
            (std::vector<std::string>{"images", "materials", "xmodel", "xmodelparts", "xmodelsurfs"}));
  EXPECT_TRUE(fs::is_regular_file(temp.Path() / "work" / "obj"));
  EXPECT_EQ(ws.folderDisplay, ws.workingFolder + "\\xmodels");
  EXPECT_FALSE(profile.Has(profile::kSettings, profile::kWorkingFolder));
}

TEST_F(WorkspaceTest, MissingWorkingFolderAsksFirst) {
  ws.workingFolder = (temp.Path() / "deleted").string();
  ScriptedAsker no(false);
  EXPECT_FALSE(ws.EnsureWorkingFolder(no));
  EXPECT_EQ(no.questions, std::vector<std::string>{"Not all of the required folders exist.\nCreate them now?"});
  EXPECT_EQ(ws.workingFolder, (temp.Path() / "deleted").string());
  EXPECT_FALSE(fs::exists(temp.Path() / "deleted"));
  EXPECT_TRUE(profile.values.empty());

  ScriptedAsker yes(true);
  EXPECT_TRUE(ws.EnsureWorkingFolder(yes));
  EXPECT_EQ(ws.workingFolder, (temp.Path() / "program").string());
  EXPECT_EQ(profile.GetProfileString("Settings", "WorkingFolder"), ws.workingFolder);
  EXPECT_EQ(SubFolders(temp.Path() / "program"), kAllSix);
}

TEST_F(WorkspaceTest, ChooseWorkingFolderPreselectsTheRawFolderAndStoresTheChoice) {
  ws.cod4Path = "/games/cod4/";
  ScriptedChooser cancel(std::nullopt);
  ScriptedAsker asker(false);
  EXPECT_FALSE(ws.ChooseWorkingFolder(cancel, asker));
  EXPECT_EQ(cancel.preselected, "/games/cod4/raw");
  EXPECT_EQ(cancel.titles, std::vector<std::string>{"Choose the working folder"});
  EXPECT_TRUE(ws.workingFolder.empty());
  EXPECT_TRUE(profile.values.empty());

  fs::create_directory(temp.Path() / "chosen");
  ScriptedChooser choose((temp.Path() / "chosen").string());
  EXPECT_TRUE(ws.ChooseWorkingFolder(choose, asker));
  EXPECT_EQ(profile.GetProfileString("Settings", "WorkingFolder"), (temp.Path() / "chosen").string());
  EXPECT_EQ(SubFolders(temp.Path() / "chosen"), kAllSix);
  EXPECT_TRUE(asker.questions.empty());

  ScriptedChooser again(std::nullopt);
  ws.ChooseWorkingFolder(again, asker);
  EXPECT_EQ(again.preselected, (temp.Path() / "chosen").string());
}

TEST_F(WorkspaceTest, StartUpReadsKeysAndShowsOneErrorPerMissingKey) {
  Registry("[HKEY_CURRENT_USER\\Software\\Ravenmoor\\Pelvane\\Settings]\n"
           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Activision\\Call of Duty 2]\nInstallPath=/reg/cod2/\n");
  profile.WriteProfileString("Paths", "CoD4", "/stored/cod4/");
  RecordingNotifier notifier;
  ws.LoadExternalPaths();
  // WinRAR's key is missing: once for the Path Setup values, once for the form.
  EXPECT_EQ(notifier.captions, (std::vector<std::string>{"Error", "Error"}));
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
  EXPECT_EQ(std::vector<std::string>(profile.writes.end() - 5, profile.writes.end()),
            (std::vector<std::string>{"WinRAR", "CoD", "CoDUO", "CoD2", "CoD4"}));
  ws.ApplyPathSetup();
  EXPECT_EQ(ws.winrarPath, "/old/winrar");
  EXPECT_EQ(ws.cod2Path, "/reg/cod2/");
}

}  // namespace
}  // namespace tessary
