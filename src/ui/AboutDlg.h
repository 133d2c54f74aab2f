#pragma once
// The About box: the program's name and version in a large bold title, the copyright and
// credits, and links to the web site, the e-mail address and WinRAR's download page.
#include <QDialog>
#include <QString>

#include "ui/VersionInfo.h"

class QLabel;

namespace tessary::ui {

class CHyperLink;
class CTitleStatic;

// Control ids of the About box.
enum AboutControlId : int {
  kIdAboutOk = 1,
  kIdAboutTitle = 1018,
  kIdAboutDownload = 1023,
  kIdAboutWebSite = 1044,
  kIdAboutEmail = 1045,
  kIdAboutCopyright = 1062,
};

// WinRAR's download page, where the "Get it here" link leads.
inline constexpr const char* kWinRarDownloadPage = "https://www.win-rar.com/download.html";

class CAboutDlg : public QDialog {
  Q_OBJECT
 public:
  // Texts from `info` (the program's own version information unless given).
  explicit CAboutDlg(QWidget* parent = nullptr, const CVersionInfo& info = CVersionInfo());

  CHyperLink& DownloadLink() const { return *downloadLink_; }
  CHyperLink& EmailLink() const { return *emailLink_; }
  CTitleStatic& Title() const { return *title_; }
  CHyperLink& WebSiteLink() const { return *webSiteLink_; }
  QLabel& Copyright() const { return *copyright_; }
  QLabel& Credits() const { return *credits_; }

 private:
  void CreateControls();
  void InitDialog(const CVersionInfo& info);

  CHyperLink* downloadLink_ = nullptr;
  CHyperLink* emailLink_ = nullptr;
  CTitleStatic* title_ = nullptr;
  CHyperLink* webSiteLink_ = nullptr;
  QString titleText_;
  QString copyrightText_;
  QLabel* copyright_ = nullptr;
  QLabel* credits_ = nullptr;
};

// Runs the About box modally over `parent`.
void RunAboutDialog(QWidget* parent);

}  // namespace tessary::ui
