#include "ui/TitleStatic.h"

#include <QApplication>
#include <QPalette>
#include <algorithm>
#include <cstdlib>

namespace tessary::ui {

CTitleStatic::CTitleStatic(QWidget* parent) : QLabel(parent), font_(QApplication::font()) {
  font_.setWeight(QFont::Bold);
  setFont(font_);
  QPalette colours = palette();
  colours.setColor(QPalette::WindowText, QApplication::palette().color(QPalette::WindowText));
  colours.setColor(QPalette::Window, QApplication::palette().color(QPalette::Button));
  setPalette(colours);
  setAutoFillBackground(true);
}

void CTitleStatic::SetFontHeight(int height) {
  font_.setPixelSize(std::max(1, std::abs(height)));
  setFont(font_);
  repaint();
}

}  // namespace tessary::ui
