// Placeholder until the tree and list context menus are written: no menu.
#include "ui/LaterDialogs.h"

namespace tessary::ui {

void ShowTreeContextMenu(CTessaryView&, const QPoint&) {}
void ShowListContextMenu(CTessaryView&, const QPoint&) {}

}  // namespace tessary::ui
