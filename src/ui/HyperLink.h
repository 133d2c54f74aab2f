#pragma once
// A static text that looks and acts like a web link: blue, underlined, a hand cursor, the
// address as its tool tip, and a click opens the address in the user's browser or mail
// program.
#include <QCursor>
#include <QFont>
#include <QLabel>
#include <QTimer>
#include <functional>
#include <optional>
#include <string>

namespace tessary::ui {

class CHyperLink : public QLabel {
  Q_OBJECT
 public:
  // How the opened target should show; the desktop may not honour it.
  enum ShowCommand : int { kShowNormal = 1, kShowMaximized = 3 };

  // How an address is opened; replaceable (tests record instead of opening).
  struct Openers {
    // The desktop's own handler for the address; true when it took it.
    std::function<bool(const QString& url)> shellOpen;
    // The web browser's command line ("%1" where the address goes), if one is known.
    std::function<std::optional<std::string>()> browserCommand;
    // Starts a command line; true when it started.
    std::function<bool(const std::string& commandLine)> run;
  };
  Openers& UrlOpeners() { return openers_; }

  explicit CHyperLink(const QString& text = QString(), QWidget* parent = nullptr);

  // The address a click opens, shown as the tool tip.
  void SetUrl(const QString& url);
  QString Url() const { return url_; }
  void SetText(const QString& text) { setText(text); }

  // Opens `url`: by the desktop's handler, else by the browser's command line. A result
  // above 32 is success; otherwise the desktop handler's failure code.
  int OpenUrl(const QString& url, int showCommand) const;

  // The cursor shown over the link (none: the default arrow).
  const std::optional<QCursor>& LinkCursor() const { return linkCursor_; }

  // The tool tip shows the address this long after the mouse enters, for this long.
  static constexpr int kToolTipDelayMs = 200;
  static constexpr int kToolTipVisibleMs = 5000;

 protected:
  bool event(QEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  void ShowToolTip();

  Openers openers_;
  std::optional<QCursor> linkCursor_;
  QString url_;
  QFont underlineFont_;
  QTimer toolTipDelay_;
};

// The browser's command line for `url`: cut at the quoted or bare "%1" placeholder when
// there is one, then a blank and the address appended.
std::string BuildBrowserCommand(const std::string& command, const std::string& url);

}  // namespace tessary::ui
