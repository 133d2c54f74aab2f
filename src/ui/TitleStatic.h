#pragma once
// A static text in the bold default GUI font on the dialog's face colour: the About box's
// title line.
#include <QFont>
#include <QLabel>

namespace tessary::ui {

class CTitleStatic : public QLabel {
  Q_OBJECT
 public:
  explicit CTitleStatic(QWidget* parent = nullptr);

  // The character height in pixels (the sign is ignored); repaints at once.
  void SetFontHeight(int height);

 private:
  QFont font_;
};

}  // namespace tessary::ui
