#pragma once
// The list of model header files: kept sorted (ignoring letter case, as the platform's
// sorted list box does), with a horizontal scroll extent that the form sets instead of
// one computed from the items. Each row shows a file name as the disk spells it and keeps
// the name's bytes.
#include <QListWidget>
#include <string>

namespace tessary::ui {

class ModelListBox : public QListWidget {
  Q_OBJECT
 public:
  explicit ModelListBox(QWidget* parent = nullptr);

  // Inserts `name` at its sorted place and returns its row.
  int AddSorted(const QString& name);
  // Inserts the file name `bytes`, shown as DisplayName spells it, at its sorted place and
  // returns its row.
  int AddFileName(const std::string& bytes);
  // The file name of `row` as its bytes (a row added as text: that text in UTF-8).
  std::string FileNameAt(int row) const;
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
