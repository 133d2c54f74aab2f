// The form's commands on the selected tree item: exports, tags listing, preview,
// conversion and retrieval.
#include <QCheckBox>
#include <filesystem>
#include <system_error>
#include <vector>

#include "model/Model.h"
#include "model/ShowModelTree.h"
#include "platform/Path.h"
#include "ui/FormStrings.h"
#include "ui/ImageViewer.h"
#include "ui/ModelTreeView.h"
#include "ui/PreviewDlg.h"
#include "ui/TagsViewer.h"
#include "ui/TessaryView.h"
#include "ui/UserDialogs.h"
#include "ui/WaitCursor.h"
#include "workspace/ProfileKeys.h"
#include "workspace/TextureConversion.h"

namespace tessary::ui {

namespace {

// What every item command starts from: the model's name (the root's text), the
// selected item and its level index.
struct Selection {
  std::string modelName;
  TreeItem* item = nullptr;
  int level = 0;
};

bool TakeSelection(const ModelTreeView& tree, const ModelTree& model, Selection& out) {
  const TreeItem* root = model.Root();
  if (root == nullptr || tree.topLevelItemCount() == 0) return false;
  out.modelName = root->text;
  out.item = tree.CurrentCoreItem();
  if (out.item == nullptr) return false;
  out.level = out.item->Data();
  return true;
}

// What View tags says instead of opening the viewer when no listing was written.
std::string NoTagsListingMessage(const std::string& modelName, uint8_t version,
                                 const std::string& listingPath) {
  std::string why = version == 14
                        ? "models of the first game (version 14) have no tags listing."
                        : listingPath + " could not be written.";
  return "There is no tags listing for " + modelName + ": " + why;
}

}  // namespace

void CTessaryView::TakeShowExploded() {
  g_showExploded = showExploded_->isChecked() && showExploded_->isEnabledTo(this) ? 1 : 0;
}

void CTessaryView::ExportObj() {
  WaitCursor wait;
  TakeShowExploded();
  Selection sel;
  if (!TakeSelection(*tree_, modelTree_, sel)) return;
  std::string folder = ModelFolderPath();
  uint8_t version = 0;
  if (!ReadVersionOrReport(folder + "\\" + sel.modelName, version)) return;
  if (std::unique_ptr<CModel> model = CreateModel(version)) {
    model->Open(folder, sel.modelName);
    model->LoadLods();
    model->LoadParts(sel.level);
    // Version 25 writes only surfaces it could load; the others load them in each writer.
    if (version == 25 && !model->LoadSurfaces(sel.level, false)) return;
    model->WriteMtl(sel.level);
    model->WriteObj(sel.level);
    if (version == 20 || version == 25) model->WriteTagsListing(sel.modelName);
  }
  AddRecentFile(sel.modelName);
  dialogs_.Beep(BeepKind::Type1);
}

void CTessaryView::ExportX() {
  WaitCursor wait;
  TakeShowExploded();
  Selection sel;
  if (!TakeSelection(*tree_, modelTree_, sel)) return;
  std::string folder = ModelFolderPath();
  uint8_t version = 0;
  if (!ReadVersionOrReport(folder + "\\" + sel.modelName, version)) return;
  if (version != 25) return;
  std::unique_ptr<CModel> model = CreateModel(version);
  if (!model) return;
  model->Open(folder, sel.modelName);
  model->LoadLods();
  model->LoadParts(sel.level);
  if (!model->LoadSurfaces(sel.level, false)) return;
  model->WriteX(sel.level);
  AddRecentFile(sel.modelName);
  dialogs_.Beep(BeepKind::Type1);
}

void CTessaryView::PreviewSurface() {
  WaitCursor wait;
  TakeShowExploded();
  Selection sel;
  if (!TakeSelection(*tree_, modelTree_, sel)) return;
  if (modelVersion == 20 || modelVersion == 25) {
    if (std::unique_ptr<CModel> model = CreateModel(modelVersion)) {
      model->Open(ModelFolderPath(), sel.modelName);
      RunPreviewDialog(*model, sel.level, sel.item->text, profile_, dialogs_, nullptr);
    }
  }
  AddRecentFile(sel.modelName);
}

void CTessaryView::ViewTags() {
  WaitCursor wait;
  Selection sel;
  if (!TakeSelection(*tree_, modelTree_, sel)) return;
  std::string folder = ModelFolderPath();
  uint8_t version = 0;
  if (!ReadVersionOrReport(folder + "\\" + sel.modelName, version)) return;
  const std::string listing = workspace_.workingFolder + "\\obj\\" + sel.modelName + "_tags.txt";
  bool written = false;
  if (version == 20 || version == 25) {
    if (std::unique_ptr<CModel> model = CreateModel(version)) {
      model->Open(folder, sel.modelName);
      model->LoadLods();
      model->LoadParts(sel.level);
      written = model->WriteTagsListing(sel.modelName);
    }
  }
  if (!written) {
    // An empty viewer, or one showing a listing left from before, would tell nothing.
    dialogs_.ShowMessage(NoTagsListingMessage(sel.modelName, version, ToNativeSeparators(listing)),
                         kAppTitle);
    return;
  }
  // Kept for Notepad, which reads its font from there; the listing itself opens in the
  // program's own viewer, which is not waited for.
  WriteRegistryString(registry_, RegistryRoot::CurrentUser, profile::kNotepadKey, "lfFaceName",
                      "Courier New");
  auto* viewer = new TagsViewer(this);
  viewer->OpenListing(workspace_.workingFolder + "\\obj\\" + sel.modelName + "_tags.txt");
  viewer->show();
  lastViewer_ = viewer;
}

TagsViewer* CTessaryView::LastTagsViewer() const { return lastViewer_.data(); }

void CTessaryView::ConvertSelectedImage() {
  WaitCursor wait;
  const TreeItem* item = tree_->CurrentCoreItem();
  if (item == nullptr) return;
  if (tessary::ConvertSelectedImage(workspace_, item->text)) ReloadModel();
}

void CTessaryView::ViewImageFile() {
  const TreeItem* item = tree_->CurrentCoreItem();
  if (item == nullptr) return;
  std::string error;
  ImageViewer* viewer = nullptr;
  {
    WaitCursor wait;
    viewer = ImageViewer::Open(workspace_.workingFolder + "\\images\\" + item->text, error, this);
  }
  if (viewer == nullptr) {
    dialogs_.ShowMessage(error, kAppTitle);
    return;
  }
  viewer->show();
  lastImageViewer_ = viewer;
}

ImageViewer* CTessaryView::LastImageViewer() const { return lastImageViewer_.data(); }

void CTessaryView::RetrieveFile() {
  WaitCursor wait;
  TreeItem* item = tree_->CurrentCoreItem();
  if (item == nullptr) return;
  retrieval_.RetrieveFile(*item);  // reloads the model when something was fetched
}

void CTessaryView::RetrieveAllFiles() {
  WaitCursor wait;
  if (retrieval_.RetrieveAllFiles(modelTree_) == Retrieval::Pass::SecondPassDue) {
    retrievePassTimer_.start();
    setEnabled(false);  // no input until the second pass
  } else {
    setEnabled(true);
  }
}

void CTessaryView::OnRetrievePassTimer() {
  retrievePassTimer_.stop();
  RetrieveAllFiles();
}

}  // namespace tessary::ui
