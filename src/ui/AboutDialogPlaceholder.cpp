// Placeholder until the About dialog is written: opens nothing.
#include "ui/LaterDialogs.h"

namespace tessary::ui {

void RunAboutDialog(QWidget*) {}

}  // namespace tessary::ui
