#include "ui/ModelListBox.h"

#include <QFontMetrics>
#include <QStyledItemDelegate>
#include <algorithm>

#include "ui/DisplayName.h"

namespace tessary::ui {

namespace {

constexpr int kFileNameRole = Qt::UserRole + 1;

// Letter case first ignored, then used to break ties, so the order is total.
bool SortsBefore(const QString& a, const QString& b) {
  int c = a.compare(b, Qt::CaseInsensitive);
  return c != 0 ? c < 0 : a < b;
}

// Every row is as wide as the extent the form set. The view lays its rows out that wide
// (or as wide as the viewport, when that is wider), so its own horizontal scroll range is
// the extent minus the viewport's width, which is the range the form asks for; nothing
// has to overrule the view's range, which would make the view show and hide its scroll
// bar in turn for ever.
class ExtentDelegate final : public QStyledItemDelegate {
 public:
  ExtentDelegate(const int& extent, QObject* parent) : QStyledItemDelegate(parent), extent_(extent) {}
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return QSize(extent_, QStyledItemDelegate::sizeHint(option, index).height());
  }

 private:
  const int& extent_;
};

}  // namespace

ModelListBox::ModelListBox(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  setUniformItemSizes(true);
  // A name longer than its row is cut at the edge, as the platform's list box cuts it.
  setTextElideMode(Qt::ElideNone);
  setItemDelegate(new ExtentDelegate(extent_, this));
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

int ModelListBox::AddFileName(const std::string& bytes) {
  const int row = AddSorted(DisplayName(bytes));
  item(row)->setData(kFileNameRole, QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
  return row;
}

std::string ModelListBox::FileNameAt(int row) const {
  const QListWidgetItem* entry = item(row);
  if (entry == nullptr) return {};
  const QVariant bytes = entry->data(kFileNameRole);
  return bytes.isValid() ? bytes.toByteArray().toStdString() : entry->text().toStdString();
}

void ModelListBox::SetHorizontalExtent(int pixels) {
  extent_ = std::max(pixels, 0);
  // The rows' size hint changed: lay them out again.
  doItemsLayout();
}

int ModelListBox::MeasureName(const QString& name) const {
  return QFontMetrics(font()).horizontalAdvance(name);
}

int ModelListBox::FindPrefix(const QString& prefix) const {
  for (int row = 0; row < count(); ++row)
    if (item(row)->text().startsWith(prefix, Qt::CaseInsensitive)) return row;
  return -1;
}

}  // namespace tessary::ui
