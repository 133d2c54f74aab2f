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

// Window title, title, copyright, then address and text of the web site, e-mail and download links.
QStringList Texts(const CAboutDlg& d) {
  return {d.windowTitle(), d.Title().text(), d.Copyright().text(), d.WebSiteLink().Url(), d.WebSiteLink().text(),
          d.EmailLink().Url(), d.EmailLink().text(), d.DownloadLink().Url(), d.DownloadLink().text()};
}

TEST(AboutBox, TextsAndLinksComeFromTheVersionInformation) {
  CAboutDlg dlg(nullptr, CVersionInfo({{"ProductVersion", "2.5"},
                                       {"LegalCopyright", "Copyright (C) 2026 Acme"},
                                       {"CompanyName", "Acme"},
                                       {"Comments", "https://acme.example/$me@acme.example"}}));
  EXPECT_EQ(Texts(dlg), (QStringList{"About Tessary", "Tessary, Version 2.5", "Copyright (C) 2026 Acme",
                                     "https://acme.example/", "Visit the Acme web site", "mailto:me@acme.example",
                                     "Send email to Acme", kWinRarDownloadPage, "Get it here"}));
  // Without a "$" there are no addresses and the template texts stay.
  CAboutDlg plain(nullptr, CVersionInfo({{"CompanyName", "Acme"}, {"Comments", "a b"}}));
  const QStringList texts = Texts(plain);
  EXPECT_EQ(texts[1], "Tessary, Version ");
  EXPECT_EQ(texts.mid(4, 2), (QStringList{"Visit the CompanyName web site", ""}));
}

}  // namespace
}  // namespace tessary::ui::test
