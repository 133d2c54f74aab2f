#include "ui/ModelListBox.h"

#include <QFontMetrics>
#include <QScrollBar>
#include <algorithm>

namespace tessary::ui {

namespace {

// Letter case first ignored, then used to break ties, so the order is total.
bool SortsBefore(const QString& a, const QString& b) {
  int c = a.compare(b, Qt::CaseInsensitive);
  return c != 0 ? c < 0 : a < b;
}

}  // namespace

ModelListBox::ModelListBox(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  setUniformItemSizes(true);
}

int ModelListBox::AddSorted(const QString& name) {
  int lo = 0;
  int hi = count();
  while (lo < hi) {
    int mid = (lo + hi) / 2;
    if (SortsBefore(item(mid)->text(), name)) lo = mid + 1; else hi = mid;
  }
  insertItem(lo, name);
  return lo;
}

void ModelListBox::SetHorizontalExtent(int pixels) {
  extent_ = std::max(pixels, 0);
  updateGeometries();
}

int ModelListBox::MeasureName(const QString& name) const {
  return QFontMetrics(font()).horizontalAdvance(name);
}

int ModelListBox::FindPrefix(const QString& prefix) const {
  for (int row = 0; row < count(); ++row)
    if (item(row)->text().startsWith(prefix, Qt::CaseInsensitive)) return row;
  return -1;
}

void ModelListBox::updateGeometries() {
  QListWidget::updateGeometries();
  // Only the extent set by the form decides how far the list scrolls sideways.
  int range = std::max(0, extent_ - viewport()->width());
  horizontalScrollBar()->setRange(0, range);
  horizontalScrollBar()->setPageStep(viewport()->width());
}

}  // namespace tessary::ui
