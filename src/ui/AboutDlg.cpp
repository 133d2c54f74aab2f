#include "ui/AboutDlg.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <string>

#include "platform/BuildInfo.h"
#include "ui/DialogUnits.h"
#include "ui/HyperLink.h"
#include "ui/TitleStatic.h"

namespace tessary::ui {

namespace {

constexpr int kWidthDu = 315;
constexpr int kHeightDu = 128;
constexpr int kTitleFontHeight = -16;

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent, const CVersionInfo& info) : QDialog(parent) {
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  CreateControls();
  InitDialog(info);
}

void CAboutDlg::CreateControls() {
  DialogBaseUnits units = BaseUnitsOf(font());
  auto place = [units](QWidget* w, QRect du, const char* name) {
    w->setGeometry(DialogToPixels(du, units));
    w->setObjectName(name);
  };
  auto frame = [&](QRect du, const char* name) {
    auto* f = new QFrame(this);
    f->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    f->setAttribute(Qt::WA_TransparentForMouseEvents);  // the links inside stay clickable
    place(f, du, name);
    return f;
  };
  auto centred = [&](const QString& text, QRect du, const char* name) {
    auto* label = new QLabel(text, this);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    place(label, du, name);
    return label;
  };

  auto* icon = new QLabel(this);
  place(icon, {7, 26, 20, 20}, "icon");
  QIcon appIcon = QApplication::windowIcon();
  if (!appIcon.isNull()) icon->setPixmap(appIcon.pixmap(icon->size()));
  frame({36, 7, 242, 62}, "nameFrame");

  title_ = new CTitleStatic(this);
  title_->setText("Application Name,  Version -1.0");
  title_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  place(title_, {40, 8, 235, 19}, "control1018");
  copyright_ = centred("Copyright", {40, 30, 235, 8}, "control1062");
  credits_ = centred(QString::fromUtf8(build::kCredits), {40, 42, 235, 23}, "credits");

  webSiteLink_ = new CHyperLink("Visit the CompanyName web site", this);
  webSiteLink_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  place(webSiteLink_, {7, 75, 301, 8}, "control1044");
  emailLink_ = new CHyperLink("Send email to CompanyName", this);
  emailLink_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  place(emailLink_, {7, 85, 301, 8}, "control1045");
  centred(QString::fromUtf8("Don't have WinRAR\u00A9?"), {40, 101, 234, 8}, "winrarLine");
  downloadLink_ = new CHyperLink("Get it here", this);
  downloadLink_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  place(downloadLink_, {40, 110, 234, 8}, "control1023");

  auto* ok = new QPushButton("OK", this);
  ok->setDefault(true);
  place(ok, {283, 7, 25, 14}, "control1");
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  frame({36, 98, 242, 23}, "winrarFrame");

  setFixedSize(DialogToPixels(QRect(0, 0, kWidthDu, kHeightDu), units).size());
}

void CAboutDlg::InitDialog(const CVersionInfo& info) {
  const QString appName = QString::fromUtf8(build::kProductName);
  setWindowTitle("About " + appName);
  title_->SetFontHeight(kTitleFontHeight);

  titleText_ = appName + ", Version " + Q(info.GetString("ProductVersion"));
  copyrightText_ = Q(info.GetString("LegalCopyright"));

  std::string comments = info.GetString("Comments");
  size_t p = comments.find('$');
  if (p != std::string::npos) {
    QString company = Q(info.GetString("CompanyName"));
    webSiteLink_->SetUrl(Q(comments.substr(0, p)));
    webSiteLink_->SetText("Visit the " + company + " web site");
    emailLink_->SetUrl("mailto:" + Q(comments.substr(p + 1)));
    emailLink_->SetText("Send email to " + company);
    downloadLink_->SetUrl(kWinRarDownloadPage);
  }

  title_->setText(titleText_);
  copyright_->setText(copyrightText_);
}

void RunAboutDialog(QWidget* parent) {
  CAboutDlg dialog(parent);
  dialog.exec();
}

}  // namespace tessary::ui
