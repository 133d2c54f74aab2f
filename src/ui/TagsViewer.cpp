#include "ui/TagsViewer.h"

#include <QFile>
#include <QFontDatabase>
#include <QKeyEvent>

#include "platform/Disk.h"
#include "platform/Path.h"
#include "ui/DisplayName.h"

namespace tessary::ui {

QString DecodeTagsListing(const QByteArray& bytes) {
  QString text;
  text.reserve(bytes.size() / 2);
  for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
    char16_t unit = static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) |
                                          (static_cast<uint8_t>(bytes[i + 1]) << 8));
    text.append(QChar(unit));
  }
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QChar(u'\r'), QChar(u'\n'));
  return text;
}

TagsViewer::TagsViewer(QWidget* parent) : QPlainTextEdit(parent) {
  setWindowFlag(Qt::Window);
  setAttribute(Qt::WA_DeleteOnClose);
  setReadOnly(true);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  resize(640, 480);
}

void TagsViewer::keyPressEvent(QKeyEvent* event) {
  const bool ctrlW = event->key() == Qt::Key_W && event->modifiers() == Qt::ControlModifier;
  if (event->key() == Qt::Key_Escape || ctrlW || event->matches(QKeySequence::Close)) {
    close();
    event->accept();
    return;
  }
  QPlainTextEdit::keyPressEvent(event);
}

bool TagsViewer::OpenListing(const std::string& path, std::string& error) {
  const std::string resolved = Disk().Resolve(path).string();
  QFile file(QString::fromStdString(resolved));
  QByteArray bytes;
  if (file.open(QIODevice::ReadOnly)) bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    error = "Cannot read " + resolved + ": " + file.errorString().toStdString() + ".";
    return false;
  }
  path_ = path;
  setPlainText(DecodeTagsListing(bytes));
  setWindowTitle(DisplayName(BareFileName(path)));
  return true;
}

}  // namespace tessary::ui
