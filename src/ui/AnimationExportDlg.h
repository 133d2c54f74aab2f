#pragma once
// The dialog of Export .glTF with animations: the animation files that move the model's
// bones, the most bones first, each with how many of its bones the model has; several may
// be chosen. A check box keeps or drops the root motion.
#include <QDialog>
#include <string>
#include <vector>

#include "model/XAnimListing.h"

class QCheckBox;
class QDialogButtonBox;
class QListWidget;

namespace tessary::ui {

inline constexpr const char* kAnimationExportTitle = "Export .glTF with animations";

class CAnimationExportDlg : public QDialog {
  Q_OBJECT
 public:
  // `listing` must hold at least one match; the rows follow its order.
  CAnimationExportDlg(const std::string& modelName, const XAnimListing& listing, QWidget* parent = nullptr);

  QListWidget& List() const { return *list_; }
  QCheckBox& RootMotionBox() const { return *rootMotion_; }
  QDialogButtonBox& Buttons() const { return *buttons_; }

  // The file names of the chosen rows, in the list's order.
  std::vector<std::string> ChosenAnimations() const;
  bool RootMotion() const;

 private:
  void UpdateOk();

  QListWidget* list_ = nullptr;
  QCheckBox* rootMotion_ = nullptr;
  QDialogButtonBox* buttons_ = nullptr;
};

}  // namespace tessary::ui
