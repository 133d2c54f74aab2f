#pragma once
// The right-click menus of the model list and the model tree: which entries each kind of
// item offers, and the commands that only the menus have (copying a file name, removing
// a list entry, viewing a model's first surface).
#include <QPoint>
#include <memory>

class QMenu;
class QTreeWidgetItem;

namespace tessary::ui {

class CTessaryView;
class ModelTreeView;

// Menu command ids.
enum ContextCommand : int {
  kCmdPreviewSurface = 32775,
  kCmdCopyFileName = 32776,
  kCmdViewFirstSurface = 32777,
  kCmdRemoveFromList = 32778,
  kCmdConvertToDds = 32780,
  kCmdRetrieveFile = 32781,
  kCmdRetrieveAllFiles = 32782,
  kCmdViewImageFile = 32783,
  kCmdExportGltf = 32790,
  kCmdExportGltfAnimated = 32791,
  kCmdExportXModel = 32792,
  kCmdExportXAnim = 32794,
};

// The three menus: the list's, a tree item's and the tree root's.
enum class ContextMenuKind { List, Tree, TreeRoot };

// A menu of `kind` with every entry enabled; each entry's data is its command id.
std::unique_ptr<QMenu> LoadContextMenu(ContextMenuKind kind);

// Tests on a tree row (null is none of these).
bool IsSurfaceItem(const QTreeWidgetItem* row);
bool IsFileItem(const QTreeWidgetItem* row);
// A present DDS or IWI image, which the program's own viewer shows.
bool IsViewableImageItem(const QTreeWidgetItem* row);
bool CanConvertItem(const QTreeWidgetItem* row);
bool IsMissingItem(const QTreeWidgetItem* row);

// The place, under "Surfaces", of the first surface item whose file is present; -1 when
// the tree has no such item (or no root, or its first group is not "Surfaces").
int FirstSurfaceIndex(const ModelTreeView& tree);

// The list's menu for a right click at `globalPos`: selects and loads the entry under it,
// then returns the menu with its greying. Null when the click hit no entry.
std::unique_ptr<QMenu> PrepareListMenu(CTessaryView& form, const QPoint& globalPos);
// The tree's menu for a right click at `globalPos`: the root's menu (the selection stays),
// or, for any other item, that item selected and the item menu greyed for it. Null when
// no item is under the point.
std::unique_ptr<QMenu> PrepareTreeMenu(CTessaryView& form, const QPoint& globalPos);

// The form's context-menu request at `globalPos` (the list's menu when it hit an entry),
// and the tree's right click: prepare the menu, run it, then the picked command.
void ShowListMenu(CTessaryView& form, const QPoint& globalPos);
void ShowTreeMenu(CTessaryView& form, const QPoint& globalPos);

// Runs a menu command on the form.
void RunContextCommand(CTessaryView& form, int command);

// The menu-only commands.
void CopyFileName(CTessaryView& form);
void RemoveFromList(CTessaryView& form);
// Selects the model's first present surface and previews it; nothing when it has none.
void ViewFirstSurface(CTessaryView& form);

}  // namespace tessary::ui
