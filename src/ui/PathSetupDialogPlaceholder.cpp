// Placeholder until the Path Setup dialog is written: behaves as if it was cancelled.
#include "ui/LaterDialogs.h"

namespace tessary::ui {

bool RunPathSetupDialog(ISettingsStore&, IRegistryStore&, QWidget*) { return false; }

}  // namespace tessary::ui
