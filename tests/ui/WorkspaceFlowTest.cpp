// The form's side of the workspace: first-run prompt, the working folder check, the
// recent files and the settings stored when the form goes away.
#include <QComboBox>
#include <QCheckBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <fstream>

#include "FormFixture.h"
#include "ui/FormStrings.h"
#include "ui/FormTemplate.h"
#include "ui/ModelListBox.h"

namespace tessary::ui::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> RecentEntries(const CTessaryView& view) {
  std::vector<std::string> out;
  for (int i = 0; i < view.RecentBox().count(); ++i)
    out.push_back(view.RecentBox().itemText(i).toStdString());
  return out;
}

TEST_F(FormTest, FirstRunPromptsAfterOneSecondThenCreatesTheFolders) {
  Store("Paths", "CoD4", "/games/cod4/");
  tessary::test::TempWorkdir chosenParent;
  fs::path chosen = chosenParent.Path() / "work";
  fs::create_directories(chosen / "xmodel");
  std::ofstream(chosen / "xmodel" / "tank").put(20);
  dialogs_.folders.push_back(chosen.string());

  CTessaryView& view = Start();
  EXPECT_TRUE(view.FirstRunTimerActive());
  EXPECT_TRUE(dialogs_.messages.empty());  // nothing before the timer fires
  ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs_.browseTitles.empty(); }, 3000));
  EXPECT_FALSE(view.FirstRunTimerActive());

  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0], kFirstRunMessage);
  EXPECT_EQ(dialogs_.messages[0].substr(0, 37), "You need to set the working folder.\n\n");
  EXPECT_EQ(dialogs_.preselected[0], "/games/cod4/raw");
  EXPECT_EQ(dialogs_.browseTitles[0], "Choose the working folder");
  for (const char* sub : {"obj", "xmodel", "xmodelsurfs", "xmodelparts", "images", "materials"})
    EXPECT_TRUE(fs::is_directory(chosen / sub)) << sub;
  ASSERT_EQ(view.ModelList().count(), 1);
  EXPECT_EQ(view.ModelList().item(0)->text(), "tank");
  auto* box = qobject_cast<QLineEdit*>(view.Control(kIdFolderBox));
  EXPECT_EQ(box->text().toStdString(), chosen.string() + "/xmodels");
  EXPECT_EQ(Stored("Settings", "WorkingFolder"), chosen.string());
  EXPECT_TRUE(dialogs_.questions.empty());
}

TEST_F(FormTest, FirstRunCancelledLeavesNothingStored) {
  dialogs_.folders.push_back(std::nullopt);
  CTessaryView& view = Start();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs_.browseTitles.empty(); }, 3000));
  EXPECT_EQ(dialogs_.preselected[0], "raw");  // no fourth-game folder known
  EXPECT_EQ(view.ModelList().count(), 0);
  EXPECT_EQ(Stored("Settings", "WorkingFolder"), "<none>");
  EXPECT_TRUE(view.WorkspaceFields().workingFolder.empty());
}

TEST_F(FormTest, DeletedWorkingFolderIsOfferedToBeCreated) {
  std::string gone = wd_.Str() + "/deleted";
  Store("Settings", "WorkingFolder", gone);
  dialogs_.answers.push_back(false);
  CTessaryView& view = Start();
  ASSERT_EQ(dialogs_.questions.size(), 1u);
  EXPECT_EQ(dialogs_.questions[0], "Not all of the required folders exist.\nCreate them now?");
  EXPECT_EQ(view.WorkspaceFields().workingFolder, gone);
  EXPECT_FALSE(fs::exists(gone));
  EXPECT_EQ(Stored("Settings", "WorkingFolder"), gone);
  EXPECT_EQ(view.ModelList().count(), 0);
  EXPECT_FALSE(view.FirstRunTimerActive());
}

TEST_F(FormTest, MissingKeysOfOtherProgramsShowErrorBoxesBeforeTheWindow) {
  std::filesystem::remove(registry_.File());
  StoreWorkingFolder();
  Start();
  EXPECT_FALSE(frame_->isVisible());
  // The two game keys and WinRAR's (Path Setup's reading), the converter's, WinRAR's again.
  EXPECT_EQ(dialogs_.captions, std::vector<std::string>(5, "Error"));
  EXPECT_FALSE(frame_->View().WorkspaceFields().converterFound);
  EXPECT_FALSE(frame_->View().WorkspaceFields().winrarKeyFound);
}

TEST_F(FormTest, MissingSubFoldersAreCreatedSilently) {
  fs::remove_all(wd_.Path() / "images");
  fs::remove_all(wd_.Path() / "obj");
  StoreWorkingFolder();
  Start();
  EXPECT_TRUE(dialogs_.questions.empty());
  EXPECT_TRUE(fs::is_directory(wd_.Path() / "images"));
  EXPECT_TRUE(fs::is_directory(wd_.Path() / "obj"));
}

TEST_F(FormTest, RecentFilesKeepFiveIgnoringCase) {
  StoreWorkingFolder();
  CTessaryView& view = Start();
  view.AddRecentFile("m1");
  view.AddRecentFile("M1");  // already there in other case: unchanged
  EXPECT_EQ(RecentEntries(view), (std::vector<std::string>{"", "m1"}));
  for (const char* name : {"m2", "m3", "m4", "m5"}) view.AddRecentFile(name);
  // The initial empty entry went first.
  EXPECT_EQ(RecentEntries(view), (std::vector<std::string>{"m1", "m2", "m3", "m4", "m5"}));
  view.AddRecentFile("m3");  // present: not moved to the end
  view.AddRecentFile("m6");
  EXPECT_EQ(RecentEntries(view), (std::vector<std::string>{"m2", "m3", "m4", "m5", "m6"}));
}

TEST_F(FormTest, ChoosingARecentFileSelectsByPrefixOrDropsIt) {
  wd_.Write("xmodel/tank_body", {99});
  wd_.Write("xmodel/jeep", {99});
  StoreWorkingFolder();
  CTessaryView& view = Start();
  view.AddRecentFile("TANK");
  view.AddRecentFile("gone");
  QComboBox& recent = view.RecentBox();

  recent.setCurrentIndex(1);
  view.SelectRecentFile();
  EXPECT_EQ(view.ModelList().currentItem()->text(), "tank_body");
  EXPECT_EQ(view.LoadedTree().Root()->text, "tank_body");
  EXPECT_TRUE(dialogs_.beeps.empty());

  recent.setCurrentIndex(2);
  view.SelectRecentFile();
  EXPECT_EQ(RecentEntries(view), (std::vector<std::string>{"", "TANK"}));
  ASSERT_EQ(dialogs_.beeps.size(), 1u);
  EXPECT_EQ(dialogs_.beeps[0], BeepKind::Simple);
}

TEST_F(FormTest, EmptyRecentEntryWithEmptyListIsDropped) {
  StoreWorkingFolder();
  CTessaryView& view = Start();
  view.RecentBox().setCurrentIndex(0);
  view.SelectRecentFile();
  EXPECT_EQ(view.RecentBox().count(), 0);
  EXPECT_EQ(dialogs_.beeps.size(), 1u);
}

TEST_F(FormTest, SettingsAreStoredOnCloseAndRestoredAtStart) {
  StoreWorkingFolder();
  for (int i = 0; i < 5; ++i) Store("RecentFiles", std::to_string(i), "old" + std::to_string(i));
  profile_.WriteProfileInt("Settings", "ShowExploded", 1);
  {
    CTessaryView& view = Start();
    EXPECT_TRUE(view.ShowExplodedBox().isChecked());
    EXPECT_EQ(RecentEntries(view), (std::vector<std::string>{"old0", "old1", "old2", "old3", "old4"}));
    // Two entries whose models are not in the list are dropped when chosen.
    for (int i = 0; i < 2; ++i) {
      view.RecentBox().setCurrentIndex(0);
      view.SelectRecentFile();
    }
    view.ShowExplodedBox().setChecked(false);
    Close();
  }
  EXPECT_EQ(profile_.GetProfileInt("Settings", "ShowExploded", -1), 0);
  // Three entries rewrite "0" to "2"; "3" and "4" keep what the run before stored.
  for (auto [i, name] : {std::pair{0, "old2"}, {1, "old3"}, {2, "old4"}, {3, "old3"}, {4, "old4"}})
    EXPECT_EQ(Stored("RecentFiles", std::to_string(i)), name) << i;

  CTessaryView& again = Start();
  EXPECT_FALSE(again.ShowExplodedBox().isChecked());
  EXPECT_EQ(RecentEntries(again), (std::vector<std::string>{"", "old2", "old3", "old4"}));
}

TEST_F(FormTest, EmptyInitialEntryIsStoredLikeAnyOther) {
  StoreWorkingFolder();
  Start().AddRecentFile("tank");
  Close();
  EXPECT_EQ(Stored("RecentFiles", "0"), "");
  EXPECT_EQ(Stored("RecentFiles", "1"), "tank");
}

}  // namespace
}  // namespace tessary::ui::test
