#pragma once
// The dialog of Export .glTF with animations and Export .XANIM_EXPORT: the animation files
// that move the model's bones, the most bones first, each with how many of its bones the
// model has; several may be chosen. For glTF a check box keeps or drops the root motion
// (the SDK's source keeps it always).
#include <QDialog>
#include <string>
#include <vector>

#include "model/XAnimListing.h"

class QCheckBox;
class QDialogButtonBox;
class QListWidget;

namespace tessary::ui {

inline constexpr const char* kAnimationExportTitle = "Export .glTF with animations";
inline constexpr const char* kXAnimExportTitle = "Export .XANIM_EXPORT";

// What the chosen animations become.
enum class AnimationExportKind { Gltf, XAnimExport };

class CAnimationExportDlg : public QDialog {
  Q_OBJECT
 public:
  // `listing` must hold at least one match; the rows follow its order.
  CAnimationExportDlg(const std::string& modelName, const XAnimListing& listing, QWidget* parent = nullptr,
                      AnimationExportKind kind = AnimationExportKind::Gltf);

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
