#pragma once
// The list of model header files: kept sorted (ignoring letter case, as the platform's
// sorted list box does), with a horizontal scroll extent that the form sets instead of
// one computed from the items.
#include <QListWidget>

namespace tessary::ui {

class ModelListBox : public QListWidget {
  Q_OBJECT
 public:
  explicit ModelListBox(QWidget* parent = nullptr);

  // Inserts `name` at its sorted place and returns its row.
  int AddSorted(const QString& name);
  // The width, in pixels, over which the list can be scrolled sideways.
  void SetHorizontalExtent(int pixels);
  int HorizontalExtent() const { return extent_; }
  // The width of `name` in the list's font.
  int MeasureName(const QString& name) const;
  // The first row whose text begins with `prefix`, ignoring letter case, or -1.
  int FindPrefix(const QString& prefix) const;

 private:
  int extent_ = 0;
};

}  // namespace tessary::ui
