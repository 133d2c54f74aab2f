#include "ui/AnimationExportDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "model/SkeletonAnimation.h"
#include "platform/Path.h"
#include "ui/DisplayName.h"

namespace tessary::ui {

CAnimationExportDlg::CAnimationExportDlg(const std::string& modelName, const XAnimListing& listing,
                                         QWidget* parent, AnimationExportKind kind)
    : QDialog(parent) {
  const bool gltf = kind == AnimationExportKind::Gltf;
  setWindowTitle(QString::fromLatin1(gltf ? kAnimationExportTitle : kXAnimExportTitle));
  auto* layout = new QVBoxLayout(this);
  auto* label = new QLabel(DisplayName("Animations of " + ToNativeSeparators(listing.folder.string()) +
                                       " that move bones of " + modelName +
                                       (gltf ? " (one glTF animation each):" : " (one .XANIM_EXPORT file each):")),
                           this);
  label->setWordWrap(true);
  layout->addWidget(label);

  list_ = new QListWidget(this);
  list_->setSelectionMode(QAbstractItemView::MultiSelection);
  for (const XAnimMatch& match : listing.matches) {
    auto* row = new QListWidgetItem(DisplayName(match.fileName + "  (" + std::to_string(match.matchedBones) + " of " +
                                           std::to_string(match.bones) + " bones)"),
                                    list_);
    row->setData(Qt::UserRole, QByteArray(match.fileName.data(), static_cast<qsizetype>(match.fileName.size())));
  }
  layout->addWidget(list_);

  rootMotion_ = new QCheckBox(DisplayName(std::string("Move ") + kRootMotionBone + " by the root motion"), this);
  rootMotion_->setChecked(true);
  rootMotion_->setVisible(gltf);
  layout->addWidget(rootMotion_);

  buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  layout->addWidget(buttons_);
  connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(list_, &QListWidget::itemSelectionChanged, this, &CAnimationExportDlg::UpdateOk);
  if (list_->count() > 0) list_->item(0)->setSelected(true);  // the best match
  UpdateOk();
  resize(480, 360);
}

std::vector<std::string> CAnimationExportDlg::ChosenAnimations() const {
  std::vector<std::string> names;
  for (int i = 0; i < list_->count(); ++i) {
    const QListWidgetItem* row = list_->item(i);
    if (!row->isSelected()) continue;
    const QByteArray name = row->data(Qt::UserRole).toByteArray();
    names.emplace_back(name.constData(), static_cast<size_t>(name.size()));
  }
  return names;
}

bool CAnimationExportDlg::RootMotion() const { return rootMotion_->isChecked(); }

void CAnimationExportDlg::UpdateOk() {
  buttons_->button(QDialogButtonBox::Ok)->setEnabled(!list_->selectedItems().isEmpty());
}

}  // namespace tessary::ui
