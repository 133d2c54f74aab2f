#pragma once
// The model tree control: shows a core ModelTree item by item with the three-image strip
// (group, file present, file missing) and bold surface items. Each row remembers the core
// item it shows, so commands read the item's image, data and parent from the core tree.
#include <QIcon>
#include <QTreeWidget>
#include <array>

#include "model/ModelTree.h"

namespace tessary::ui {

class ModelTreeView : public QTreeWidget {
  Q_OBJECT
 public:
  explicit ModelTreeView(QWidget* parent = nullptr);

  // Deletes every row, then adds one per item of `tree` (nothing when it has no root).
  void ShowTree(const TreeItem* root);
  // Expands `item` and, recursively, every item below it.
  void ExpandAll(QTreeWidgetItem* item);

  // The core item a row shows; null for none.
  static TreeItem* CoreItem(const QTreeWidgetItem* row);
  TreeItem* CurrentCoreItem() const { return CoreItem(currentItem()); }

  // The three 16 by 16 images cut from the image strip.
  const QIcon& Image(int index) const;

 signals:
  void RightClicked(QTreeWidgetItem* row, const QPoint& globalPos);

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void FitColumn();
  QTreeWidgetItem* AddRow(const TreeItem& item, QTreeWidgetItem* parentRow);

  std::array<QIcon, 3> images_;
};

}  // namespace tessary::ui
