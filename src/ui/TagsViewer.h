#pragma once
// The program's own read-only viewer for the tags listing. The listing is 16-bit
// little-endian text without a byte-order mark and with CR LF line ends, which most
// editors on this platform misread, so the form shows it here in a fixed-pitch font.
#include <QByteArray>
#include <QPlainTextEdit>
#include <QString>
#include <string>

namespace tessary::ui {

// The text of a UTF-16LE file without byte-order mark; CR LF and lone CR become line
// feeds, a trailing odd byte is dropped.
QString DecodeTagsListing(const QByteArray& bytes);

class TagsViewer : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit TagsViewer(QWidget* parent = nullptr);
  // Reads the listing at `path` (a joined path) and shows it, titled with its file name.
  // False, with `error` naming the file and why, when it cannot be read; the page is then
  // left as it was.
  bool OpenListing(const std::string& path, std::string& error);
  const std::string& ListingPath() const { return path_; }

 protected:
  // Escape and the platform's close key (Ctrl+W) close the viewer, as they close the image viewer.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  std::string path_;
};

}  // namespace tessary::ui
