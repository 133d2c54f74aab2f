#include "ui/TagsViewer.h"

#include <QFile>
#include <QFontDatabase>

#include "platform/Path.h"

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

void TagsViewer::OpenListing(const std::string& path) {
  path_ = path;
  QFile file(QString::fromStdString(ResolvePath(path).string()));
  QByteArray bytes;
  if (file.open(QIODevice::ReadOnly)) bytes = file.readAll();
  setPlainText(DecodeTagsListing(bytes));
  setWindowTitle(QString::fromStdString(BareFileName(path)));
}

}  // namespace tessary::ui
