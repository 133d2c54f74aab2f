// Placeholder until the preview window is written: opens nothing.
#include "ui/LaterDialogs.h"

namespace tessary::ui {

void RunPreviewDialog(CModel&, int, const std::string&, QWidget*) {}

}  // namespace tessary::ui
