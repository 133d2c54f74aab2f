#include "ui/ModelTreeView.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QPixmap>
#include <algorithm>

#include "ui/DisplayName.h"

namespace tessary::ui {

namespace {

constexpr int kCoreItemRole = Qt::UserRole + 1;

// The strip holds three 16 by 16 images side by side; black is see-through.
std::array<QIcon, 3> CutImageStrip() {
  QPixmap strip(QStringLiteral(":/icons/tree_images.xpm"));
  std::array<QIcon, 3> images;
  for (int i = 0; i < 3; ++i) images[i] = QIcon(strip.copy(i * 16, 0, 16, 16));
  return images;
}

}  // namespace

ModelTreeView::ModelTreeView(QWidget* parent) : QTreeWidget(parent), images_(CutImageStrip()) {
  setHeaderHidden(true);
  setColumnCount(1);
  setRootIsDecorated(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setDragDropMode(QAbstractItemView::NoDragDrop);
  setIconSize(QSize(16, 16));
  setUniformRowHeights(true);
  header()->setStretchLastSection(false);
  header()->setSectionResizeMode(0, QHeaderView::Interactive);
  connect(this, &QTreeWidget::itemExpanded, this, &ModelTreeView::FitColumn);
  connect(this, &QTreeWidget::itemCollapsed, this, &ModelTreeView::FitColumn);
}

void ModelTreeView::FitColumn() {
  // Rows are selected across the whole width, and long names still scroll sideways.
  header()->resizeSection(0, std::max(viewport()->width(), sizeHintForColumn(0)));
}

void ModelTreeView::resizeEvent(QResizeEvent* event) {
  QTreeWidget::resizeEvent(event);
  FitColumn();
}

const QIcon& ModelTreeView::Image(int index) const {
  return images_[static_cast<size_t>(index >= 0 && index < 3 ? index : 0)];
}

TreeItem* ModelTreeView::CoreItem(const QTreeWidgetItem* row) {
  if (row == nullptr) return nullptr;
  return reinterpret_cast<TreeItem*>(row->data(0, kCoreItemRole).value<quintptr>());
}

QTreeWidgetItem* ModelTreeView::AddRow(const TreeItem& item, QTreeWidgetItem* parentRow) {
  auto* row = parentRow ? new QTreeWidgetItem(parentRow) : new QTreeWidgetItem(this);
  row->setText(0, DisplayName(item.text));
  row->setIcon(0, Image(item.image));
  row->setData(0, kCoreItemRole, QVariant::fromValue(reinterpret_cast<quintptr>(&item)));
  if (item.bold) {
    QFont f = font();
    f.setBold(true);
    row->setFont(0, f);
  }
  for (const auto& child : item.children) AddRow(*child, row);
  return row;
}

void ModelTreeView::ShowTree(const TreeItem* root) {
  clear();
  if (root != nullptr) AddRow(*root, nullptr);
  FitColumn();
}

void ModelTreeView::ExpandAll(QTreeWidgetItem* item) {
  if (item == nullptr) return;
  item->setExpanded(true);
  for (int i = 0; i < item->childCount(); ++i) ExpandAll(item->child(i));
}

void ModelTreeView::contextMenuEvent(QContextMenuEvent* event) {
  emit RightClicked(itemAt(event->pos()), event->globalPos());
  event->accept();
}

}  // namespace tessary::ui
