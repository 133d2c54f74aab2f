// The main window: its style and layout, the first-run prompt, the recent files and the
// settings kept between runs; the Path Setup dialog and the About box.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include "Fixtures.h"
#include "fixtures/MemorySettingsStore.h"
#include "ui/AboutDlg.h"
#include "ui/DialogUnits.h"
#include "ui/FormStrings.h"
#include "ui/FormTemplate.h"
#include "ui/HyperLink.h"
#include "ui/ModelListBox.h"
#include "ui/ModelTreeView.h"
#include "ui/PathSetupDlg.h"
#include "ui/TitleStatic.h"

namespace tessary::ui::test {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

Names RecentEntries(const CTessaryView& view) {
  Names out;
  for (int i = 0; i < view.RecentBox().count(); ++i)
    out.push_back(view.RecentBox().itemText(i).toStdString());
  return out;
}

TEST_F(FormTest, FixedSizeFrameWithoutMenuAndControlsAtTheirConvertedPlaces) {
  StoreWorkingFolder();
  CTessaryView& view = Start();
  EXPECT_EQ(frame_->windowTitle().toStdString(), "Tessary (Call of Duty Series) ");
  EXPECT_EQ(frame_->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint),
            Qt::WindowMinimizeButtonHint);
  EXPECT_TRUE(frame_->menuWidget() == nullptr && frame_->minimumSize() == frame_->maximumSize());
  // Dialog units with the classic 6 by 13 base units: halves round away from zero.
  EXPECT_EQ(DialogToPixels(QRect(326, 7, 21, 14), DialogBaseUnits{6, 13}), QRect(489, 11, 32, 23));
  const DialogBaseUnits units = BaseUnitsOf(view.font());
  EXPECT_EQ(frame_->size(), DialogToPixels(QRect(0, 0, 400, 335), units).size());
  for (const ControlTemplate& c : MainFormTemplate()) {
    if (c.id == kIdStatic) continue;
    EXPECT_EQ(view.Control(c.id)->pos(), DialogToPixels(c.rect, units).topLeft()) << c.text;
  }
  EXPECT_EQ(view.findChild<QLabel*>("label1")->text(), "Xmodel folder: ");
}

TEST_F(FormTest, FirstRunPromptsAfterASecondThenCreatesTheFoldersAndLists) {
  Store("Paths", "CoD4", "/games/cod4/");
  tessary::test::TempWorkdir parent;
  parent.Write("work/xmodel/tank", {20});
  const fs::path chosen = parent.Path() / "work";
  dialogs_.folders.push_back(chosen.string());

  CTessaryView& view = Start();
  EXPECT_TRUE(dialogs_.messages.empty());  // nothing before the timer fires
  ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs_.browseTitles.empty(); }, 3000));
  EXPECT_EQ(dialogs_.messages, Names{kFirstRunMessage});
  EXPECT_EQ(dialogs_.preselected[0], "/games/cod4/raw");  // where it starts and what it creates: the workspace tests
  ASSERT_EQ(view.ModelList().count(), 1);
  EXPECT_EQ(view.ModelList().item(0)->text(), "tank");
  EXPECT_EQ(qobject_cast<QLineEdit*>(view.Control(kIdFolderBox))->text().toStdString(),
            chosen.string() + "/xmodels");
  EXPECT_EQ(Stored("Settings", "WorkingFolder"), chosen.string());
}

TEST_F(FormTest, RecentFilesKeepFiveIgnoringCaseAndDropAVanishedModel) {
  wd_.Write("xmodel/tank_body", {99});
  StoreWorkingFolder();
  CTessaryView& view = Start();
  view.AddRecentFile("m1");
  view.AddRecentFile("M1");  // already there in other case: unchanged
  EXPECT_EQ(RecentEntries(view), (Names{"", "m1"}));
  for (const char* name : {"m2", "m3", "m4", "m5"}) view.AddRecentFile(name);
  view.AddRecentFile("m3");  // present: not moved to the end
  EXPECT_EQ(RecentEntries(view), (Names{"m1", "m2", "m3", "m4", "m5"}));
  view.AddRecentFile("TANK");
  EXPECT_EQ(RecentEntries(view), (Names{"m2", "m3", "m4", "m5", "TANK"}));

  // Chosen, an entry selects the first model it begins, ignoring case...
  view.RecentBox().setCurrentIndex(4);
  view.SelectRecentFile();
  EXPECT_EQ(view.LoadedTree().Root()->text, "tank_body");
  EXPECT_TRUE(dialogs_.beeps.empty());
  // ...and one whose model is gone is dropped with a beep.
  view.RecentBox().setCurrentIndex(0);
  view.SelectRecentFile();
  EXPECT_EQ(RecentEntries(view), (Names{"m3", "m4", "m5", "TANK"}));
  EXPECT_EQ(dialogs_.beeps, std::vector<BeepKind>{BeepKind::Simple});
}

TEST_F(FormTest, SettingsAreStoredOnCloseAndRestoredAtStart) {
  StoreWorkingFolder();
  for (int i = 0; i < 5; ++i) Store("RecentFiles", std::to_string(i), "old" + std::to_string(i));
  profile_.WriteProfileInt("Settings", "ShowExploded", 1);
  CTessaryView& view = Start();
  EXPECT_TRUE(view.ShowExplodedBox().isChecked());
  EXPECT_EQ(RecentEntries(view), (Names{"old0", "old1", "old2", "old3", "old4"}));
  for (int i = 0; i < 2; ++i) {  // their models are not in the list: dropped
    view.RecentBox().setCurrentIndex(0);
    view.SelectRecentFile();
  }
  view.ShowExplodedBox().setChecked(false);
  Close();
  EXPECT_EQ(profile_.GetProfileInt("Settings", "ShowExploded", -1), 0);
  // Three entries rewrite "0" to "2"; "3" and "4" keep what the run before stored.
  for (auto [i, name] : {std::pair{0, "old2"}, {1, "old3"}, {2, "old4"}, {3, "old3"}, {4, "old4"}})
    EXPECT_EQ(Stored("RecentFiles", std::to_string(i)), name) << i;
}

TEST_F(FormTest, NamesShowAsTheDiskSpellsThemAndRecentFilesKeepTheirBytes) {
  const std::string utf8 = "vm g3 \xC3\x9Cn\xC3\xAF\x63\xC3\xB8\x64\xC3\xA9 \xC3\xB1\x61me";  // "vm g3 Ünïcødé ñame"
  const std::string older = "caf\xE9 \x93one\x94";  // not UTF-8: Windows-1252 bytes
  for (const std::string& name : {utf8, older}) wd_.Write("xmodel/" + name, v20::Header({{"m_lod0", 1, {}}}));
  StoreWorkingFolder();
  CTessaryView& view = Start();
  const QString utf8Shown = QString::fromUtf8(utf8), olderShown = QString::fromUtf8("caf\xC3\xA9 \xE2\x80\x9Cone\xE2\x80\x9D");
  ASSERT_EQ(view.ModelList().count(), 2);
  EXPECT_EQ((QStringList{view.ModelList().item(0)->text(), view.ModelList().item(1)->text()}),
            (QStringList{olderShown, utf8Shown}));
  view.ModelList().setCurrentRow(1);
  EXPECT_EQ(std::pair(view.Tree().topLevelItem(0)->text(0), view.LoadedTree().Root()->text), std::pair(utf8Shown, utf8));
  view.AddRecentFile(utf8);
  view.AddRecentFile(older);
  EXPECT_EQ((QStringList{view.RecentBox().itemText(1), view.RecentBox().itemText(2)}), (QStringList{utf8Shown, olderShown}));

  // Stored and read back unchanged: the next run shows them alike and loads what they name.
  Close();
  EXPECT_EQ(std::pair(Stored("RecentFiles", "1"), Stored("RecentFiles", "2")), std::pair(utf8, older));
  CTessaryView& again = Start();
  EXPECT_EQ((QStringList{again.RecentBox().itemText(1), again.RecentBox().itemText(2)}), (QStringList{utf8Shown, olderShown}));
  again.RecentBox().setCurrentIndex(2);
  again.SelectRecentFile();
  ASSERT_NE(again.LoadedTree().Root(), nullptr);
  EXPECT_EQ(again.LoadedTree().Root()->text, older);
  EXPECT_TRUE(dialogs_.messages.empty() && dialogs_.fileErrors.empty());
}

TEST_F(FormTest, AfterAFolderChangeTheRowLoadedBeforeLoadsTheNewFoldersModel) {
  for (const char* name : {"a", "b"}) wd_.Write(std::string("xmodel/") + name, v20::Header({{"m_lod0", 1, {}}}));
  tessary::test::TempWorkdir other;
  for (const char* name : {"c", "d"}) other.Write(std::string("xmodel/") + name, v20::Header({{"m_lod0", 1, {}}}));
  StoreWorkingFolder();
  CTessaryView& view = Start();
  view.ModelList().setCurrentRow(1);
  ASSERT_EQ(view.LoadedTree().Root()->text, "b");
  dialogs_.folders.push_back(other.Str());
  view.ChooseWorkingFolder();
  ASSERT_EQ(view.ModelList().count(), 2);
  EXPECT_EQ(view.Tree().topLevelItemCount(), 0);
  view.ModelList().setCurrentRow(1);  // the same row as before, in the new list
  ASSERT_NE(view.LoadedTree().Root(), nullptr);
  EXPECT_EQ(std::pair(view.LoadedTree().Root()->text, view.Tree().topLevelItem(0)->text(0).toStdString()),
            std::pair(std::string("d"), std::string("d")));
}

// Counts the events that reach the model list or any widget inside it.
class ListEventCounter : public QObject {
 public:
  explicit ListEventCounter(QWidget& watched) : list(watched) { qApp->installEventFilter(this); }
  ~ListEventCounter() override { qApp->removeEventFilter(this); }
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* w = qobject_cast<QWidget*>(watched);
    if (w != nullptr && (w == &list || list.isAncestorOf(w)) && event->type() != QEvent::Paint &&
        event->type() != QEvent::UpdateRequest)
      ++count;
    return false;
  }
  QWidget& list;
  int count = 0;
};

TEST_F(FormTest, ModelListWithLongNamesGoesIdleAndScrollsAsFarAsTheFormSays) {
  // Names around the list's width, alone and among others.
  for (size_t length : {30u, 42u, 79u}) {
    SCOPED_TRACE(length);
    tessary::test::TempWorkdir wd;
    const std::string name(length, 'n');
    wd.Write("xmodel/" + name, {20});
    if (length >= 60)
      for (int i = 0; i < 21; ++i) wd.Write("xmodel/m" + std::to_string(i), {20});
    Store(profile::kSettings, profile::kWorkingFolder, wd.Str());
    CTessaryView& view = Start();
    frame_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame_.get()));
    ModelListBox& list = view.ModelList();
    QTest::qWait(100);
    {  // the counter watches every widget: gone before the form closes
      ListEventCounter counter(list);
      QTest::qWait(200);
      EXPECT_EQ(counter.count, 0) << "the list keeps laying itself out";
    }
    // Names are cut at the edge, never shortened with "...".
    const int extent = std::max(0, list.MeasureName(QString::fromStdString(name)) - 90), width = list.viewport()->width();
    EXPECT_EQ(std::tuple(list.HorizontalExtent(), list.horizontalScrollBar()->maximum(),
                         list.horizontalScrollBar()->isVisible(), list.textElideMode()),
              std::tuple(extent, std::max(0, extent - width), extent > width, Qt::ElideNone));
    Close();
  }
}

TEST_F(FormTest, PathSetupFallsBackToTheProgramsKeysBrowsesAndOkStoresInItsOrder) {
  registry_.CreateAndWrite(RegistryRoot::LocalMachine, profile::kCod2Key, "InstallPath", "/reg/cod2/");
  registry_.DeleteKey(RegistryRoot::LocalMachine, profile::kWinRarKey);
  tessary::test::MemorySettingsStore memory;
  memory.values = {{{"Paths", "CoD2"}, ""}, {{"Paths", "CoD"}, "/p/cod/"}, {{"Paths", "CoD4"}, "/p/cod4/"}};
  CPathSetupDlg dlg(memory, registry_, dialogs_);
  // An empty stored value asks the game's key; a stored one wins without asking; a missing
  // key is left empty without a box. The first game's expansion has no key.
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_EQ((Names{dlg.Fields().cod2Path, dlg.Fields().cod4Path, dlg.Edit(kIdCodPath)->text().toStdString(),
                   dlg.Fields().coduoPath, dlg.Fields().winrarPath, dlg.windowTitle().toStdString()}),
            (Names{"/reg/cod2/", "/p/cod4/", "/p/cod/", "", "", "Path Setup"}));

  // Browse adds a separator, starting from the folder shown, and keeps what was typed elsewhere.
  dlg.Edit(kIdCodUoPath)->setText("typed/uo");  // typed by hand: stored as typed
  dialogs_.folders.push_back("/games/cod4");
  qobject_cast<QPushButton*>(dlg.Control(kIdBrowseCod4))->click();
  EXPECT_EQ(std::tuple(dialogs_.browseTitles, dialogs_.preselected, dlg.Fields().cod4Path, dlg.Edit(kIdCodUoPath)->text()),
            std::tuple(Names{"Choose the CoD4 folder"}, Names{"/p/cod4/"}, "/games/cod4\\", "typed/uo"));
  qobject_cast<QPushButton*>(dlg.Control(kIdPathOk))->click();
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(memory.writes, (std::vector<std::string>{"Paths\\WinRAR=", "Paths\\CoD=/p/cod/",
                                                     "Paths\\CoDUO=typed/uo", "Paths\\CoD2=/reg/cod2/",
                                                     "Paths\\CoD4=/games/cod4/"}));
}

TEST(AboutBox, TextsAndLinksComeFromTheVersionInformation) {
  CAboutDlg d(nullptr, CVersionInfo({{"ProductVersion", "2.5"}, {"LegalCopyright", "Copyright (C) 2026 Acme"},
                                     {"CompanyName", "Acme"}, {"Comments", "https://acme.example/$me@acme.example"}}));
  EXPECT_EQ((QStringList{d.windowTitle(), d.Title().text(), d.Copyright().text(), d.WebSiteLink().Url(),
                         d.WebSiteLink().text(), d.EmailLink().Url(), d.EmailLink().text(), d.DownloadLink().Url(),
                         d.DownloadLink().text()}),
            (QStringList{"About Tessary", "Tessary, Version 2.5", "Copyright (C) 2026 Acme",
                                     "https://acme.example/", "Visit the Acme web site", "mailto:me@acme.example",
                                     "Send email to Acme", kWinRarDownloadPage, "Get it here"}));
}

}  // namespace
}  // namespace tessary::ui::test
