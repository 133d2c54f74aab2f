// The Path Setup dialog: what construction reads, the "..." buttons, and what OK stores.
#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <map>

#include "FormFixture.h"
#include "ui/DialogUnits.h"
#include "ui/FormTemplate.h"
#include "ui/PathSetupDlg.h"

namespace tessary::ui::test {
namespace {

// A profile in memory that remembers the order of its writes.
class RecordingProfile final : public ISettingsStore {
 public:
  std::string GetProfileString(const std::string& section, const std::string& name,
                               const std::string& defaultValue) override {
    auto found = values.find(section + "\\" + name);
    return found == values.end() ? defaultValue : found->second;
  }
  int GetProfileInt(const std::string&, const std::string&, int defaultValue) override {
    return defaultValue;
  }
  bool WriteProfileString(const std::string& section, const std::string& name,
                          const std::string& value) override {
    writes.push_back(section + "\\" + name + "=" + value);
    values[section + "\\" + name] = value;
    return true;
  }
  bool WriteProfileInt(const std::string&, const std::string&, int) override { return true; }

  std::map<std::string, std::string> values;
  std::vector<std::string> writes;
};

class PathSetupTest : public FormTest {
 protected:
  void InstallGames() {
    registry_.CreateAndWrite(RegistryRoot::LocalMachine, profile::kCod2Key, "InstallPath", "/reg/cod2/");
    registry_.CreateAndWrite(RegistryRoot::LocalMachine, profile::kCod4Key, "InstallPath", "/reg/cod4/");
    registry_.CreateAndWrite(RegistryRoot::LocalMachine, profile::kWinRarKey, nullptr, "/reg/WinRAR.exe");
  }
  std::unique_ptr<CPathSetupDlg> Open() {
    return std::make_unique<CPathSetupDlg>(memory_, registry_, dialogs_);
  }
  static std::string Shown(const CPathSetupDlg& dlg, int id) {
    return dlg.Edit(id)->text().toStdString();
  }
  static void Click(const CPathSetupDlg& dlg, int id) {
    qobject_cast<QPushButton*>(dlg.Control(id))->click();
  }

  RecordingProfile memory_;
};

TEST_F(PathSetupTest, DialogHasItsSizeCaptionAndControlsInPlace) {
  auto dlg = Open();
  EXPECT_EQ(dlg->windowTitle(), "Path Setup");
  DialogBaseUnits units = BaseUnitsOf(dlg->font());
  EXPECT_EQ(dlg->size(), DialogToPixels(QRect(0, 0, 301, 129), units).size());
  EXPECT_EQ(dlg->minimumSize(), dlg->maximumSize());
  const std::pair<int, QRect> placed[] = {
      {kIdPathOk, {244, 10, 50, 14}},
      {kIdWinRarPath, {48, 17, 162, 14}},
      {kIdBrowseCod, {215, 100, 14, 14}},
  };
  for (const auto& [id, du] : placed) {
    SCOPED_TRACE(id);
    ASSERT_NE(dlg->Control(id), nullptr);
    EXPECT_EQ(dlg->Control(id)->geometry(), DialogToPixels(du, units));
  }
  auto* ok = qobject_cast<QPushButton*>(dlg->Control(kIdPathOk));
  EXPECT_TRUE(ok->isDefault());
  EXPECT_EQ(dlg->findChild<QGroupBox*>()->title(), "External Paths ");
}

TEST_F(PathSetupTest, StoredValuesWinWithoutAskingTheGamesKeys) {
  registry_.DeleteKey(RegistryRoot::LocalMachine, profile::kCod2Key);
  registry_.DeleteKey(RegistryRoot::LocalMachine, profile::kCod4Key);
  registry_.DeleteKey(RegistryRoot::LocalMachine, profile::kWinRarKey);
  memory_.values = {{"Paths\\CoD", "/p/cod/"},   {"Paths\\CoDUO", "/p/uo/"},
                    {"Paths\\CoD2", "/p/cod2/"}, {"Paths\\CoD4", "/p/cod4/"},
                    {"Paths\\WinRAR", "/p/rar.exe"}};
  auto dlg = Open();
  EXPECT_TRUE(dialogs_.captions.empty());  // no key was opened, so no "Error" box
  EXPECT_EQ(Shown(*dlg, kIdCodPath), "/p/cod/");
  EXPECT_EQ(Shown(*dlg, kIdCodUoPath), "/p/uo/");
  EXPECT_EQ(Shown(*dlg, kIdCod2Path), "/p/cod2/");
  EXPECT_EQ(Shown(*dlg, kIdCod4Path), "/p/cod4/");
  EXPECT_EQ(Shown(*dlg, kIdWinRarPath), "/p/rar.exe");
}

TEST_F(PathSetupTest, EmptyValuesFallBackToTheProgramsOwnKeys) {
  InstallGames();
  memory_.values = {{"Paths\\CoD2", ""}, {"Paths\\CoD", "/p/cod/"}};
  auto dlg = Open();
  EXPECT_TRUE(dialogs_.captions.empty());
  EXPECT_EQ(dlg->Fields().cod2Path, "/reg/cod2/");
  EXPECT_EQ(dlg->Fields().cod4Path, "/reg/cod4/");
  EXPECT_EQ(dlg->Fields().winrarPath, "/reg/WinRAR.exe");
  EXPECT_EQ(dlg->Fields().codPath, "/p/cod/");
  EXPECT_EQ(dlg->Fields().coduoPath, "");  // the first game's expansion has no fallback
}

TEST_F(PathSetupTest, MissingFallbackKeysShowErrorBoxesWhileConstructing) {
  registry_.DeleteKey(RegistryRoot::LocalMachine, profile::kCod2Key);
  registry_.DeleteKey(RegistryRoot::LocalMachine, profile::kWinRarKey);
  auto dlg = Open();
  // The second game's key and WinRAR's; the fourth game's opens (its value is missing).
  EXPECT_EQ(dialogs_.captions, (std::vector<std::string>{"Error", "Error"}));
  EXPECT_FALSE(dlg->isVisible());
  for (int id : {kIdCodPath, kIdCodUoPath, kIdCod2Path, kIdCod4Path, kIdWinRarPath})
    EXPECT_EQ(Shown(*dlg, id), "") << id;
}

TEST_F(PathSetupTest, BrowsedFolderGetsASeparatorAndRefreshDiscardsTyping) {
  memory_.values = {{"Paths\\CoD4", "/old/cod4/"}};
  auto dlg = Open();
  dlg->Edit(kIdCodPath)->setText("/typed/cod");  // not taken into the field yet
  dialogs_.folders.push_back("/games/cod4");
  Click(*dlg, kIdBrowseCod4);
  ASSERT_EQ(dialogs_.browseTitles, std::vector<std::string>{"Choose the CoD4 folder"});
  EXPECT_EQ(dialogs_.preselected[0], "/old/cod4/");
  EXPECT_EQ(dlg->Fields().cod4Path, "/games/cod4\\");
  EXPECT_EQ(Shown(*dlg, kIdCod4Path), ToNativeSeparators("/games/cod4\\"));
  EXPECT_EQ(Shown(*dlg, kIdCodPath), "");  // the typed text is gone

  // A cancelled browse changes nothing, typing included.
  dlg->Edit(kIdCodPath)->setText("/typed/cod");
  dialogs_.folders.push_back(std::nullopt);
  Click(*dlg, kIdBrowseCod2);
  EXPECT_EQ(Shown(*dlg, kIdCodPath), "/typed/cod");
  EXPECT_EQ(dlg->Fields().cod2Path, "");

  dialogs_.folders.push_back("/games/uo");
  dialogs_.folders.push_back("/games/cod");
  Click(*dlg, kIdBrowseCodUo);
  Click(*dlg, kIdBrowseCod);
  EXPECT_EQ(dialogs_.browseTitles,
            (std::vector<std::string>{"Choose the CoD4 folder", "Choose the CoD2 folder",
                                      "Choose the CoD:United Objective folder",
                                      "Choose the CoD folder"}));
  EXPECT_EQ(dlg->Fields().coduoPath, "/games/uo\\");
  EXPECT_EQ(dlg->Fields().codPath, "/games/cod\\");
}

TEST_F(PathSetupTest, WinRarBrowseAcceptsOnlyProgramsByExtension) {
  auto dlg = Open();
  std::vector<std::optional<std::string>> answers = {
      "/opt/rar/WinRAR.EXE", std::nullopt, "/opt/rar/rar", "/opt/rar.exe/readme.txt",
      "C:\\Program Files\\WinRAR\\WinRAR.exe"};
  std::vector<std::string> expected = {"/opt/rar/WinRAR.EXE", "/opt/rar/WinRAR.EXE",
                                       "/opt/rar/WinRAR.EXE", "/opt/rar/WinRAR.EXE",
                                       "C:\\Program Files\\WinRAR\\WinRAR.exe"};
  size_t next = 0;
  dlg->chooseProgram = [&](std::string& path) {
    const std::optional<std::string>& answer = answers[next++];
    if (answer) path = *answer;
    return answer.has_value();
  };
  for (size_t i = 0; i < answers.size(); ++i) {
    SCOPED_TRACE(i);
    dlg->Edit(kIdCodPath)->setText("typed");
    Click(*dlg, kIdBrowseWinRar);
    EXPECT_EQ(dlg->Fields().winrarPath, expected[i]);
    // Only an accepted program refreshes the boxes from the fields.
    bool accepted = i == 0 || i == 4;
    EXPECT_EQ(Shown(*dlg, kIdCodPath), accepted ? "" : "typed");
  }
  EXPECT_TRUE(HasProgramExtension("a.b.Exe"));
  EXPECT_FALSE(HasProgramExtension("winrar.exe.bak"));
  EXPECT_FALSE(HasProgramExtension("exe"));
}

TEST_F(PathSetupTest, OkStoresTheFiveValuesInItsOrderAndCancelNothing) {
  InstallGames();
  memory_.values = {{"Paths\\CoD", "/p/cod/"}};
  {
    auto dlg = Open();
    dlg->Edit(kIdCodUoPath)->setText("typed/uo");  // typed by hand: stored as typed
    dlg->Edit(kIdWinRarPath)->setText("");
    Click(*dlg, kIdPathCancel);
    EXPECT_EQ(dlg->result(), QDialog::Rejected);
    EXPECT_TRUE(memory_.writes.empty());
  }
  auto dlg = Open();
  dlg->Edit(kIdCodUoPath)->setText("typed/uo");
  dlg->Edit(kIdWinRarPath)->setText("");
  Click(*dlg, kIdPathOk);
  EXPECT_EQ(dlg->result(), QDialog::Accepted);
  EXPECT_EQ(memory_.writes,
            (std::vector<std::string>{"Paths\\WinRAR=", "Paths\\CoD=/p/cod/",
                                      "Paths\\CoDUO=typed/uo", "Paths\\CoD2=/reg/cod2/",
                                      "Paths\\CoD4=/reg/cod4/"}));
}

TEST_F(PathSetupTest, FormReadsTheValuesBackAfterOk) {
  StoreWorkingFolder();
  Store("Paths", "WinRAR", "/old/WinRAR.exe");
  CTessaryView& view = Start();
  dialogs_.folders.push_back("/new/cod2");
  bool seen = false;
  QTimer::singleShot(0, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    auto* dlg = qobject_cast<CPathSetupDlg*>(modal);
    if (dlg == nullptr) {
      if (modal != nullptr) modal->close();
      return;
    }
    seen = true;
    Click(*dlg, kIdBrowseCod2);  // through the form's own folder chooser
    dlg->Edit(kIdCodPath)->setText("/typed/cod/");
    Click(*dlg, kIdPathOk);
  });
  qobject_cast<QPushButton*>(view.Control(kIdPathSetup))->click();
  ASSERT_TRUE(seen);
  // The boxes show the chosen folder's separator as the platform writes it, and OK takes
  // the boxes as they stand.
  const std::string chosen = ToNativeSeparators("/new/cod2\\");
  const Workspace& ws = view.WorkspaceFields();
  EXPECT_EQ(ws.cod2Path, chosen);
  EXPECT_EQ(ws.codPath, "/typed/cod/");
  EXPECT_EQ(ws.winrarPath, "/old/WinRAR.exe");
  EXPECT_EQ(Stored("Paths", "CoD2"), chosen);
}

}  // namespace
}  // namespace tessary::ui::test
