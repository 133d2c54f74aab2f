#pragma once
// Windows the form opens that live in their own files: the preview window, the Path
// Setup and About dialogs, and the two context menus. Until each one is written its
// function is a placeholder in the matching *Placeholder.cpp file, which the real
// window's source replaces.
#include <QPoint>
#include <string>

class QWidget;

namespace tessary {
class CModel;
class INotifier;
class IRegistryStore;
class ISettingsStore;
}

namespace tessary::ui {

class CTessaryView;

// Runs the modal preview window on `model` (opened, nothing loaded yet) for level
// `lodIndex`, captioned `surfaceName`; its maximized state is kept in `profile`, its help
// box goes through `notifier`.
void RunPreviewDialog(CModel& model, int lodIndex, const std::string& surfaceName,
                      ISettingsStore& profile, INotifier& notifier, QWidget* parent);

// Runs the modal Path Setup dialog; true when it was confirmed with OK (it has then
// stored the five "Paths" values).
bool RunPathSetupDialog(ISettingsStore& profile, IRegistryStore& registry, QWidget* parent);

// Runs the modal About dialog.
void RunAboutDialog(QWidget* parent);

// The tree's context menu for the row under the mouse (null: none) and the model list's
// context menu, at `globalPos`.
void ShowTreeContextMenu(CTessaryView& form, const QPoint& globalPos);
void ShowListContextMenu(CTessaryView& form, const QPoint& globalPos);

}  // namespace tessary::ui
