#include "ui/HyperLink.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QPalette>
#include <QProcess>
#include <QToolTip>
#include <QUrl>

namespace tessary::ui {

namespace {

constexpr int kShellFailed = 2;  // the desktop could not open the address
constexpr int kStarted = 33;

CHyperLink::Openers DefaultOpeners() {
  CHyperLink::Openers o;
  o.shellOpen = [](const QString& url) { return QDesktopServices::openUrl(QUrl(url)); };
  // The user's browser as $BROWSER names it: the first of its colon-separated commands,
  // whose "%s" stands where the address goes.
  o.browserCommand = []() -> std::optional<std::string> {
    std::string browser = qgetenv("BROWSER").toStdString();
    browser = browser.substr(0, browser.find(':'));
    if (browser.empty()) return std::nullopt;
    if (size_t at = browser.find("%s"); at != std::string::npos) browser.replace(at, 2, "%1");
    return browser;
  };
  o.run = [](const std::string& commandLine) {
    QStringList args = QProcess::splitCommand(QString::fromStdString(commandLine));
    if (args.isEmpty()) return false;
    QString program = args.takeFirst();
    return QProcess::startDetached(program, args);
  };
  return o;
}

}  // namespace

std::string BuildBrowserCommand(const std::string& command, const std::string& url) {
  std::string line = command;
  size_t cut = line.find("\"%1\"");
  if (cut == std::string::npos) cut = line.find("%1");
  if (cut != std::string::npos) line.erase(cut);
  return line + " " + url;
}

CHyperLink::CHyperLink(const QString& text, QWidget* parent)
    : QLabel(text, parent), openers_(DefaultOpeners()), linkCursor_(QCursor(Qt::PointingHandCursor)) {
  underlineFont_ = font();
  underlineFont_.setUnderline(true);
  setFont(underlineFont_);
  QPalette colours = palette();
  colours.setColor(QPalette::WindowText, QColor(0, 0, 255));
  setPalette(colours);
  setAutoFillBackground(false);
  setTextFormat(Qt::PlainText);
  if (linkCursor_) setCursor(*linkCursor_);
  toolTipDelay_.setSingleShot(true);
  toolTipDelay_.setInterval(kToolTipDelayMs);
  connect(&toolTipDelay_, &QTimer::timeout, this, &CHyperLink::ShowToolTip);
}

void CHyperLink::ShowToolTip() {
  if (underMouse()) QToolTip::showText(QCursor::pos(), url_, this, rect(), kToolTipVisibleMs);
}

void CHyperLink::SetUrl(const QString& url) {
  url_ = url;
  setToolTip(url);
}

int CHyperLink::OpenUrl(const QString& url, int /*showCommand*/) const {
  const Openers& o = openers_;
  if (o.shellOpen && o.shellOpen(url)) return kStarted;
  std::optional<std::string> command = o.browserCommand ? o.browserCommand() : std::nullopt;
  if (!command) return kShellFailed;
  if (!o.run || !o.run(BuildBrowserCommand(*command, url.toStdString()))) return kShellFailed;
  return kStarted;
}

bool CHyperLink::event(QEvent* e) {
  switch (e->type()) {
    case QEvent::ToolTip:
      return true;  // the link keeps its own, shorter delay
    case QEvent::Enter:
      toolTipDelay_.start();
      break;
    case QEvent::Leave:
    case QEvent::MouseButtonPress:
      toolTipDelay_.stop();
      QToolTip::hideText();
      break;
    default:
      break;
  }
  return QLabel::event(e);
}

void CHyperLink::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
    OpenUrl(url_, kShowMaximized);
  QLabel::mouseReleaseEvent(e);
}

}  // namespace tessary::ui
