#include "ui/ContextMenus.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QSignalBlocker>
#include <string>

#include "model/ModelTree.h"
#include "ui/DisplayName.h"
#include "ui/ModelListBox.h"
#include "ui/ModelTreeView.h"
#include "ui/TessaryView.h"

namespace tessary::ui {

namespace {

struct MenuEntry {
  int command;  // 0: a separator
  const char* text;  // UTF-8
};

constexpr MenuEntry kListMenu[] = {
    {kCmdViewFirstSurface, "View first surface"},
    {kCmdRemoveFromList, "Remove from this list"},
};
constexpr MenuEntry kTreeMenu[] = {
    {kCmdPreviewSurface, "Preview surface"},
    {kCmdExportGltf, "Export .glTF"},
    {kCmdExportGltfAnimated, "Export .glTF with animations…"},
    {kCmdExportXModel, "Export .XMODEL_EXPORT"},
    {kCmdExportXAnim, "Export .XANIM_EXPORT…"},
    {0, nullptr},
    {kCmdConvertToDds, "Convert to DDS"},
    {kCmdRetrieveFile, "Retrieve file"},
    {kCmdViewImageFile, "View image file"},
    {0, nullptr},
    {kCmdCopyFileName, "Copy file name to clipboard"},
};
constexpr MenuEntry kTreeRootMenu[] = {
    {kCmdRetrieveAllFiles, "Retrieve all files"},
    {kCmdCopyFileName, "Copy file name to clipboard"},
};

void Grey(QMenu& menu, int command) {
  for (QAction* action : menu.actions())
    if (!action->isSeparator() && action->data().toInt() == command) action->setEnabled(false);
}

const TreeItem* Core(const QTreeWidgetItem* row) {
  return row == nullptr ? nullptr : ModelTreeView::CoreItem(row);
}

bool TextContains(const TreeItem& item, const char* part) {
  return item.text.find(part) != std::string::npos;
}

// Runs the menu at `globalPos` and the command the user picked.
void TrackMenu(CTessaryView& form, std::unique_ptr<QMenu> menu, const QPoint& globalPos) {
  if (!menu) return;
  QAction* picked = menu->exec(globalPos);
  int command = picked != nullptr ? picked->data().toInt() : 0;
  menu.reset();
  if (command != 0) RunContextCommand(form, command);
}

}  // namespace

std::unique_ptr<QMenu> LoadContextMenu(ContextMenuKind kind) {
  auto menu = std::make_unique<QMenu>();
  auto add = [&menu](const auto& entries) {
    for (const MenuEntry& e : entries) {
      if (e.command == 0) {
        menu->addSeparator();
      } else {
        QAction* action = menu->addAction(QString::fromUtf8(e.text));
        action->setData(e.command);
      }
    }
  };
  switch (kind) {
    case ContextMenuKind::List: add(kListMenu); break;
    case ContextMenuKind::Tree: add(kTreeMenu); break;
    case ContextMenuKind::TreeRoot: add(kTreeRootMenu); break;
  }
  return menu;
}

bool IsSurfaceItem(const QTreeWidgetItem* row) {
  const TreeItem* item = Core(row);
  return item != nullptr && item->parent != nullptr && item->parent->text == kSurfacesGroup &&
         item->image == kImagePresent;
}

bool IsFileItem(const QTreeWidgetItem* row) {
  const TreeItem* item = Core(row);
  return item != nullptr && (item->parent == nullptr || item->image > kImageGroup);
}

bool IsViewableImageItem(const QTreeWidgetItem* row) {
  const TreeItem* item = Core(row);
  return item != nullptr && (TextContains(*item, ".dds") || TextContains(*item, ".iwi")) &&
         item->image == kImagePresent;
}

bool CanConvertItem(const QTreeWidgetItem* row) {
  const TreeItem* item = Core(row);
  return item != nullptr && TextContains(*item, ".iwi") && item->image == kImagePresent;
}

bool IsMissingItem(const QTreeWidgetItem* row) {
  const TreeItem* item = Core(row);
  return item != nullptr && item->image == kImageMissing;
}

int FirstSurfaceIndex(const ModelTreeView& tree) {
  if (tree.topLevelItemCount() == 0) return -1;
  QTreeWidgetItem* root = tree.topLevelItem(0);
  if (root->childCount() == 0) return -1;
  QTreeWidgetItem* surfaces = root->child(0);
  const TreeItem* group = Core(surfaces);
  if (group == nullptr || group->text != kSurfacesGroup) return -1;
  for (int i = 0; i < surfaces->childCount(); ++i)
    if (IsSurfaceItem(surfaces->child(i))) return i;
  return -1;
}

std::unique_ptr<QMenu> PrepareListMenu(CTessaryView& form, const QPoint& globalPos) {
  ModelListBox& list = form.ModelList();
  QWidget* client = list.viewport();
  QPoint p = client->mapFromGlobal(globalPos);
  if (!client->rect().contains(p)) return nullptr;
  QListWidgetItem* entry = list.itemAt(p);
  if (entry != nullptr) {
    {
      // The form loads on a selection change; here it loads once, explicitly.
      QSignalBlocker block(&list);
      list.setCurrentItem(entry);
    }
    form.SelectModel();
  }
  if (entry == nullptr || list.selectedItems().isEmpty()) return nullptr;
  std::unique_ptr<QMenu> menu = LoadContextMenu(ContextMenuKind::List);
  if (FirstSurfaceIndex(form.Tree()) == -1) Grey(*menu, kCmdViewFirstSurface);
  return menu;
}

std::unique_ptr<QMenu> PrepareTreeMenu(CTessaryView& form, const QPoint& globalPos) {
  ModelTreeView& tree = form.Tree();
  QTreeWidgetItem* row = tree.itemAt(tree.viewport()->mapFromGlobal(globalPos));
  if (row == nullptr) return nullptr;
  if (row->parent() == nullptr) return LoadContextMenu(ContextMenuKind::TreeRoot);

  tree.setCurrentItem(row);
  const Workspace& ws = form.WorkspaceFields();
  std::unique_ptr<QMenu> menu = LoadContextMenu(ContextMenuKind::Tree);
  if (!IsSurfaceItem(row)) Grey(*menu, kCmdPreviewSurface);
  if (!IsSurfaceItem(row)) {
    Grey(*menu, kCmdExportGltf);
    Grey(*menu, kCmdExportGltfAnimated);
    Grey(*menu, kCmdExportXModel);
    Grey(*menu, kCmdExportXAnim);
  }
  if (!IsFileItem(row)) {
    Grey(*menu, kCmdCopyFileName);
    Grey(*menu, kCmdConvertToDds);
    Grey(*menu, kCmdRetrieveFile);
  }
  if (!IsViewableImageItem(row)) Grey(*menu, kCmdViewImageFile);
  if (!CanConvertItem(row)) Grey(*menu, kCmdConvertToDds);
  // Unlike the Retrieve file button, the menu entry also needs WinRAR's App Paths key.
  if (!(ws.winrarKeyFound && IsMissingItem(row))) Grey(*menu, kCmdRetrieveFile);
  return menu;
}

void ShowListMenu(CTessaryView& form, const QPoint& globalPos) {
  TrackMenu(form, PrepareListMenu(form, globalPos), globalPos);
}

void ShowTreeMenu(CTessaryView& form, const QPoint& globalPos) {
  TrackMenu(form, PrepareTreeMenu(form, globalPos), globalPos);
}

void RunContextCommand(CTessaryView& form, int command) {
  switch (command) {
    case kCmdPreviewSurface: form.PreviewSurface(); break;
    case kCmdExportGltf: form.ExportGltf(); break;
    case kCmdExportGltfAnimated: form.ExportGltfWithAnimations(); break;
    case kCmdExportXModel: form.ExportXModel(); break;
    case kCmdExportXAnim: form.ExportXAnims(); break;
    case kCmdCopyFileName: CopyFileName(form); break;
    case kCmdViewFirstSurface: ViewFirstSurface(form); break;
    case kCmdRemoveFromList: RemoveFromList(form); break;
    case kCmdConvertToDds: form.ConvertSelectedImage(); break;
    case kCmdRetrieveFile: form.RetrieveFile(); break;
    case kCmdRetrieveAllFiles: form.RetrieveAllFiles(); break;
    case kCmdViewImageFile: form.ViewImageFile(); break;
    default: break;
  }
}

void CopyFileName(CTessaryView& form) {
  const TreeItem* item = form.Tree().CurrentCoreItem();
  std::string text = item != nullptr ? item->text : std::string();
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard == nullptr) return;
  // Plain text, the name as the tree shows it: what the tree shows is what gets pasted.
  clipboard->setText(DisplayName(text));
}

void RemoveFromList(CTessaryView& form) {
  ModelListBox& list = form.ModelList();
  QList<QListWidgetItem*> selected = list.selectedItems();
  if (selected.isEmpty()) return;
  {
    // Neither the removal nor the emptied tree may run the form's selection handlers:
    // the recent files and the action buttons stay as they are.
    QSignalBlocker blockList(&list);
    QSignalBlocker blockTree(&form.Tree());
    std::unique_ptr<QListWidgetItem> removed(list.takeItem(list.row(selected.first())));
    list.clearSelection();
    form.Tree().clear();
  }
  // No model is shown any more, so whichever entry is selected next must load.
  form.lastLoadedIndex = -1;
}

void ViewFirstSurface(CTessaryView& form) {
  int index = FirstSurfaceIndex(form.Tree());
  if (index < 0) return;
  form.Tree().setCurrentItem(form.Tree().topLevelItem(0)->child(0)->child(index));
  form.PreviewSurface();
}

}  // namespace tessary::ui
