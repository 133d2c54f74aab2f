// The Path Setup dialog (what it reads at construction, what OK stores) and the About box.
#include <QLineEdit>
#include <QPushButton>

#include "Fixtures.h"
#include "fixtures/MemorySettingsStore.h"
#include "ui/AboutDlg.h"
#include "ui/FormTemplate.h"
#include "ui/HyperLink.h"
#include "ui/PathSetupDlg.h"
#include "ui/TitleStatic.h"

namespace tessary::ui::test {
namespace {

TEST_F(FormTest, PathSetupFallsBackToTheProgramsKeysAndOkStoresInItsOrder) {
  registry_.CreateAndWrite(RegistryRoot::LocalMachine, profile::kCod2Key, "InstallPath", "/reg/cod2/");
  registry_.DeleteKey(RegistryRoot::LocalMachine, profile::kWinRarKey);
  tessary::test::MemorySettingsStore memory;
  memory.values = {{{"Paths", "CoD2"}, ""}, {{"Paths", "CoD"}, "/p/cod/"}, {{"Paths", "CoD4"}, "/p/cod4/"}};
  CPathSetupDlg dlg(memory, registry_, dialogs_);
  // An empty stored value asks the game's key; a stored one wins without asking; a missing
  // key is left empty without a box. The first game's expansion has no key.
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_EQ(dlg.Fields().cod2Path, "/reg/cod2/");
  EXPECT_EQ(dlg.Fields().cod4Path, "/p/cod4/");
  EXPECT_EQ(dlg.Edit(kIdCodPath)->text(), "/p/cod/");
  EXPECT_EQ(dlg.Fields().coduoPath, "");
  EXPECT_EQ(dlg.Fields().winrarPath, "");
  EXPECT_EQ(dlg.windowTitle(), "Path Setup");

  dlg.Edit(kIdCodUoPath)->setText("typed/uo");  // typed by hand: stored as typed
  qobject_cast<QPushButton*>(dlg.Control(kIdPathOk))->click();
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(memory.writes, (std::vector<std::string>{"Paths\\WinRAR=", "Paths\\CoD=/p/cod/",
                                                     "Paths\\CoDUO=typed/uo", "Paths\\CoD2=/reg/cod2/",
                                                     "Paths\\CoD4=/p/cod4/"}));
}

TEST_F(FormTest, PathSetupBrowseAddsASeparatorAndKeepsWhatWasTypedElsewhere) {
  tessary::test::MemorySettingsStore memory;
  memory.values = {{{"Paths", "CoD4"}, "/old/cod4/"}};
  CPathSetupDlg dlg(memory, registry_, dialogs_);
  dlg.Edit(kIdCodPath)->setText("/typed/cod");  // not in the fields yet
  dialogs_.folders.push_back("/games/cod4");
  qobject_cast<QPushButton*>(dlg.Control(kIdBrowseCod4))->click();
  EXPECT_EQ(dialogs_.browseTitles, std::vector<std::string>{"Choose the CoD4 folder"});
  EXPECT_EQ(dialogs_.preselected, std::vector<std::string>{"/old/cod4/"});
  EXPECT_EQ(dlg.Fields().cod4Path, "/games/cod4\\");
  EXPECT_EQ(dlg.Edit(kIdCodPath)->text(), "/typed/cod");  // what was typed stays
}

TEST_F(FormTest, PathSetupFrameRunsThroughItsTitleAboveTheFirstRow) {
  CPathSetupDlg dlg(profile_, registry_, dialogs_);
  dlg.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
  const QImage shot = dlg.grab().toImage();
  const QWidget* group = dlg.findChild<QWidget*>("label1");
  ASSERT_NE(group, nullptr);
  // Down a column right of the title: the first thing drawn is the frame's top line.
  const int x = group->x() + group->width() * 3 / 4;
  const QRgb background = shot.pixel(x, group->y());
  int line = group->y();
  while (line < shot.height() && shot.pixel(x, line) == background) ++line;
  const int firstRow = dlg.Edit(kIdWinRarPath)->y();
  EXPECT_LT(line, firstRow - 2);
  EXPECT_LE(line, group->y() + group->fontMetrics().height());  // within the title's height
}

TEST(AboutBox, TextsAndLinksComeFromTheVersionInformation) {
  CAboutDlg dlg(nullptr, CVersionInfo({{"ProductVersion", "2.5"},
                                       {"LegalCopyright", "Copyright (C) 2026 Acme"},
                                       {"CompanyName", "Acme"},
                                       {"Comments", "https://acme.example/$me@acme.example"}}));
  EXPECT_EQ(dlg.windowTitle(), "About Tessary");
  EXPECT_EQ(dlg.Title().text(), "Tessary, Version 2.5");
  EXPECT_EQ(dlg.Copyright().text(), "Copyright (C) 2026 Acme");
  EXPECT_EQ(dlg.WebSiteLink().Url(), "https://acme.example/");
  EXPECT_EQ(dlg.WebSiteLink().text(), "Visit the Acme web site");
  EXPECT_EQ(dlg.EmailLink().Url(), "mailto:me@acme.example");
  EXPECT_EQ(dlg.EmailLink().text(), "Send email to Acme");
  EXPECT_EQ(dlg.DownloadLink().Url(), kWinRarDownloadPage);
  EXPECT_EQ(dlg.DownloadLink().text(), "Get it here");

  // Without a "$" there are no addresses and the template texts stay.
  CAboutDlg plain(nullptr, CVersionInfo({{"CompanyName", "Acme"}, {"Comments", "a b"}}));
  EXPECT_EQ(plain.Title().text(), "Tessary, Version ");
  EXPECT_EQ(plain.WebSiteLink().text(), "Visit the CompanyName web site");
  EXPECT_EQ(plain.EmailLink().Url(), "");
}

}  // namespace
}  // namespace tessary::ui::test
