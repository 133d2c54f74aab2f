#include "ui/SymbolButton.h"

#include <QIcon>
#include <cstdlib>

namespace tessary::ui {

namespace {

bool SameFace(const std::string& a, const char* b) {
  return QString::fromStdString(a).compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

}  // namespace

QString SymbolIconPath(const std::string& face, unsigned char character) {
  if (SameFace(face, "Webdings")) {
    switch (character) {
      case 0x71: return QStringLiteral(":/icons/refresh.xpm");   // circular arrows
      case 0x40: return QStringLiteral(":/icons/tools.xpm");     // tools
      case 0x69: return QStringLiteral(":/icons/info.xpm");      // information
      default: break;
    }
  } else if (SameFace(face, "Wingdings")) {
    if (character == 0x31) return QStringLiteral(":/icons/folder.xpm");  // open folder
  }
  return {};
}

CSymbolButton::CSymbolButton(QWidget* parent) : QPushButton(parent) { ApplySymbol(); }

void CSymbolButton::SetSymbol(int height, int weight, const std::string& face,
                              unsigned char character) {
  height_ = height;
  weight_ = weight;
  face_ = face.substr(0, 31);
  character_ = character;
  ApplySymbol();
}

void CSymbolButton::ApplySymbol() {
  QString icon = SymbolIconPath(face_, character_);
  if (!icon.isEmpty()) {
    setText(QString());
    setIcon(QIcon(icon));
    int side = std::abs(height_) >= 16 ? 16 : std::abs(height_);
    setIconSize(QSize(side, side));
  } else {
    setIcon(QIcon());
    QFont f = font();
    f.setPixelSize(std::abs(height_) > 0 ? std::abs(height_) : 12);
    setFont(f);
    setText(QString(QChar(character_)));
  }
}

}  // namespace tessary::ui
