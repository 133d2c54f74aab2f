// The About box: texts from the version information, the title line, and the links.
#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "FormFixture.h"
#include "platform/BuildInfo.h"
#include "ui/AboutDlg.h"
#include "ui/DialogUnits.h"
#include "ui/FormTemplate.h"
#include "ui/HyperLink.h"
#include "ui/TitleStatic.h"

namespace tessary::ui::test {
namespace {

// Replaces how links open addresses for the length of a test, recording what was asked.
class RecordedOpeners {
 public:
  RecordedOpeners() : saved_(CHyperLink::UrlOpeners()) {
    CHyperLink::Openers& o = CHyperLink::UrlOpeners();
    o.shellOpen = [this](const QString& url) {
      shellCalls.push_back(url.toStdString());
      return shellWorks;
    };
    o.browserCommand = [this] { return browser; };
    o.run = [this](const std::string& line) {
      runCalls.push_back(line);
      return true;
    };
  }
  ~RecordedOpeners() { CHyperLink::UrlOpeners() = saved_; }

  bool shellWorks = true;
  std::optional<std::string> browser;
  std::vector<std::string> shellCalls, runCalls;

 private:
  CHyperLink::Openers saved_;
};

CVersionInfo Info(const std::string& comments) {
  return CVersionInfo({{"ProductVersion", "2.5"},
                       {"LegalCopyright", "Copyright (C) 2026 Acme"},
                       {"CompanyName", "Acme"},
                       {"Comments", comments}});
}

TEST(AboutBox, TextsAndLinksComeFromTheVersionInformation) {
  CAboutDlg dlg(nullptr, Info("https://acme.example/$me@acme.example"));
  EXPECT_EQ(dlg.windowTitle(), "About Tessary");
  EXPECT_EQ(dlg.Title().text(), "Tessary, Version 2.5");
  EXPECT_EQ(dlg.Copyright().text(), "Copyright (C) 2026 Acme");
  EXPECT_EQ(dlg.WebSiteLink().Url(), "https://acme.example/");
  EXPECT_EQ(dlg.WebSiteLink().text(), "Visit the Acme web site");
  EXPECT_EQ(dlg.EmailLink().Url(), "mailto:me@acme.example");
  EXPECT_EQ(dlg.EmailLink().text(), "Send email to Acme");
  EXPECT_EQ(dlg.DownloadLink().Url(), kWinRarDownloadPage);
  EXPECT_EQ(dlg.DownloadLink().text(), "Get it here");
  for (CHyperLink* link : {&dlg.WebSiteLink(), &dlg.EmailLink(), &dlg.DownloadLink()})
    EXPECT_EQ(link->toolTip(), link->Url());

  // A "$" at the very start: no web site, the whole rest is the e-mail address.
  CAboutDlg leading(nullptr, Info("$a$b"));
  EXPECT_EQ(leading.WebSiteLink().Url(), "");
  EXPECT_EQ(leading.EmailLink().Url(), "mailto:a$b");
}

TEST(AboutBox, WithoutADollarOrVersionDataTheTemplateTextsStay) {
  CAboutDlg dlg(nullptr, Info("https://acme.example/ me@acme.example"));
  EXPECT_EQ(dlg.Title().text(), "Tessary, Version 2.5");
  EXPECT_EQ(dlg.WebSiteLink().text(), "Visit the CompanyName web site");
  EXPECT_EQ(dlg.EmailLink().text(), "Send email to CompanyName");
  for (CHyperLink* link : {&dlg.WebSiteLink(), &dlg.EmailLink(), &dlg.DownloadLink()})
    EXPECT_EQ(link->Url(), "");

  CAboutDlg empty(nullptr, CVersionInfo(std::map<std::string, std::string>{}));
  EXPECT_EQ(empty.Title().text(), "Tessary, Version ");
  EXPECT_EQ(empty.Copyright().text(), "");
  EXPECT_EQ(empty.DownloadLink().Url(), "");
}

TEST(AboutBox, ProgramsOwnInformationIsFixedAtBuildTime) {
  CVersionInfo info;
  EXPECT_EQ(info.GetString("ProductVersion"), build::kVersion);
  EXPECT_EQ(info.GetString("NoSuchValue"), "");
  CAboutDlg dlg;
  EXPECT_EQ(dlg.Title().text().toStdString(), std::string("Tessary, Version ") + build::kVersion);
  EXPECT_EQ(dlg.WebSiteLink().Url().toStdString(), build::kWebPage);
  EXPECT_TRUE(dlg.EmailLink().Url().startsWith("mailto:"));
  EXPECT_GT(dlg.EmailLink().Url().size(), 7);
  EXPECT_EQ(dlg.Credits().text().count('\n'), 1);  // a "By:" line and the authors
}

TEST(AboutBox, TitleIsBoldSixteenPixelsAndLinksLookLikeLinks) {
  CAboutDlg dlg(nullptr, Info("a$b"));
  DialogBaseUnits units = BaseUnitsOf(dlg.font());
  EXPECT_EQ(dlg.size(), DialogToPixels(QRect(0, 0, 315, 128), units).size());
  EXPECT_EQ(dlg.Title().geometry(), DialogToPixels(QRect(40, 8, 235, 19), units));
  QFont title = dlg.Title().font();
  EXPECT_EQ(title.pixelSize(), 16);
  EXPECT_EQ(title.weight(), QFont::Bold);
  dlg.Title().SetFontHeight(20);  // the sign does not matter
  EXPECT_EQ(dlg.Title().font().pixelSize(), 20);
  for (CHyperLink* link : {&dlg.WebSiteLink(), &dlg.EmailLink(), &dlg.DownloadLink()}) {
    EXPECT_TRUE(link->font().underline());
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_TRUE(link->alignment() & Qt::AlignHCenter);
  }
}

TEST(HyperLink, ClickOpensTheAddressAndFallsBackToTheBrowserCommand) {
  RecordedOpeners openers;
  CAboutDlg dlg(nullptr, Info("https://acme.example/$me@acme.example"));
  QTest::mouseClick(&dlg.EmailLink(), Qt::LeftButton);
  EXPECT_EQ(openers.shellCalls, std::vector<std::string>{"mailto:me@acme.example"});
  EXPECT_TRUE(openers.runCalls.empty());
  QTest::mouseClick(&dlg.WebSiteLink(), Qt::RightButton);  // only the left button opens
  EXPECT_EQ(openers.shellCalls.size(), 1u);

  openers.shellWorks = false;
  EXPECT_LE(CHyperLink::OpenUrl("https://x.example/", CHyperLink::kShowMaximized), 32);
  EXPECT_TRUE(openers.runCalls.empty());  // no browser known: the desktop's failure stands
  openers.browser = "\"/usr/bin/browser\" --new \"%1\" --tail";
  EXPECT_GT(CHyperLink::OpenUrl("https://x.example/", CHyperLink::kShowMaximized), 32);
  EXPECT_EQ(openers.runCalls,
            std::vector<std::string>{"\"/usr/bin/browser\" --new  https://x.example/"});

  EXPECT_EQ(BuildBrowserCommand("browser %1 --x", "u"), "browser  u");
  EXPECT_EQ(BuildBrowserCommand("browser", "u"), "browser u");
  EXPECT_EQ(BuildBrowserCommand("browser", ""), "browser ");  // a link without an address
}

TEST_F(FormTest, AboutButtonOpensTheAboutBox) {
  StoreWorkingFolder();
  CTessaryView& view = Start();
  QString title;
  QTimer::singleShot(0, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* about = qobject_cast<CAboutDlg*>(modal)) title = about->Title().text();
    if (modal != nullptr) modal->close();
  });
  qobject_cast<QPushButton*>(view.Control(kIdAbout))->click();
  EXPECT_EQ(title.toStdString(), std::string("Tessary, Version ") + build::kVersion);
}

}  // namespace
}  // namespace tessary::ui::test
