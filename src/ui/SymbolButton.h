#pragma once
// A push button that shows one character of a symbol font. The symbol fonts of the
// original look (Wingdings, Webdings) are not available everywhere, so each known
// character is shown as an icon of the same meaning drawn for this program; an unknown
// one is shown as the character itself.
#include <QPushButton>
#include <string>

namespace tessary::ui {

class CSymbolButton : public QPushButton {
  Q_OBJECT
 public:
  explicit CSymbolButton(QWidget* parent = nullptr);

  // Sets the font height (negative: character height in pixels) and weight, the face and
  // the character, and shows it.
  void SetSymbol(int height, int weight, const std::string& face, unsigned char character);

  int FontHeight() const { return height_; }
  int FontWeight() const { return weight_; }
  const std::string& Face() const { return face_; }
  unsigned char Symbol() const { return character_; }

 private:
  void ApplySymbol();

  int height_ = -30;
  int weight_ = 400;
  std::string face_ = "WingDings";
  unsigned char character_ = 180;
};

// The resource path of the icon standing for `character` of `face` (face compared
// ignoring case), or an empty string when none is drawn.
QString SymbolIconPath(const std::string& face, unsigned char character);

}  // namespace tessary::ui
