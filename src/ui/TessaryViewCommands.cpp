// The form's commands on the selected tree item: exports, tags listing, preview,
// conversion and retrieval.
#include <QCheckBox>
#include <filesystem>
#include <system_error>
#include <vector>

#include "model/Model.h"
#include "model/ShowModelTree.h"
#include "platform/Path.h"
#include "ui/LaterDialogs.h"
#include "ui/FormStrings.h"
#include "ui/ModelTreeView.h"
#include "ui/TagsViewer.h"
#include "ui/TessaryView.h"
#include "ui/UserDialogs.h"
#include "ui/WaitCursor.h"
#include "ui/WorkspaceAccess.h"

namespace tessary::ui {

namespace {

// Tells the two passes of Retrieve all files apart: 1 before a first pass.
uint8_t allPassToggle = 1;

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
  dialogs_.Beep(BeepKind::Ok);
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
  dialogs_.Beep(BeepKind::Ok);
}

void CTessaryView::PreviewSurface() {
  WaitCursor wait;
  TakeShowExploded();
  Selection sel;
  if (!TakeSelection(*tree_, modelTree_, sel)) return;
  if (modelVersion == 20 || modelVersion == 25) {
    if (std::unique_ptr<CModel> model = CreateModel(modelVersion)) {
      model->Open(ModelFolderPath(), sel.modelName);
      RunPreviewDialog(*model, sel.level, sel.item->text, nullptr);
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
  if (version == 20 || version == 25) {
    if (std::unique_ptr<CModel> model = CreateModel(version)) {
      model->Open(folder, sel.modelName);
      model->LoadLods();
      model->LoadParts(sel.level);
      model->WriteTagsListing(sel.modelName);
    }
  }
  // The listing opens in the program's own viewer, which is not waited for.
  auto* viewer = new TagsViewer(this);
  viewer->OpenListing(workingFolder + "\\obj\\" + sel.modelName + "_tags.txt");
  viewer->show();
  lastViewer_ = viewer;
}

TagsViewer* CTessaryView::LastTagsViewer() const { return lastViewer_.data(); }

RetrievalContext CTessaryView::MakeRetrievalContext() const {
  RetrievalContext ctx;
  ctx.workingFolder = workingFolder;
  ctx.winrarPath = winrarPath;
  ctx.cod2Path = cod2Path;
  ctx.cod4Path = cod4Path;
  ctx.modelVersion = modelVersion;
  ctx.converterPath = converterPath;
  ctx.converterFound = converterFound;
  return ctx;
}

void CTessaryView::ConvertSelectedImage() {
  WaitCursor wait;
  const TreeItem* item = tree_->CurrentCoreItem();
  if (item == nullptr) return;
  std::string out;
  if (ConvertToDds(MakeRetrievalContext(), workingFolder + "\\images\\" + item->text, out))
    ReloadModel();
  else
    dialogs_.Beep(BeepKind::Error);
}

void CTessaryView::RetrieveFile() {
  WaitCursor wait;
  const TreeItem* item = tree_->CurrentCoreItem();
  if (item == nullptr) return;
  std::string name = item->text;
  std::string folder = FolderForItem(*item);
  if (folder.empty()) {
    dialogs_.Beep(BeepKind::Error);
    dialogs_.ShowMessage(kCannotRetrieve, kAppTitle);
    return;
  }
  RetrievalContext ctx = MakeRetrievalContext();
  if (!CopyFromRawFolder(ctx, name, folder)) {
    if (!ExtractFromArchives(ctx, name, folder)) {
      dialogs_.Beep(BeepKind::Simple);
      return;
    }
    if (name.find(".iwi") != std::string::npos) {
      std::string source = workingFolder + "\\images\\" + name;
      std::string out;
      if (ConvertToDds(ctx, source, out)) {
        std::error_code ec;
        std::filesystem::remove(ResolvePath(source), ec);
      }
    }
  }
  ReloadModel();
}

void CTessaryView::RetrieveMissingItem(TreeItem& item) {
  if (item.image != kImageMissing) return;
  std::string name = item.text;
  std::string folder = FolderForItem(item);
  if (name.empty() || folder.empty()) return;
  RetrievalContext ctx = MakeRetrievalContext();
  if (CopyFromRawFolder(ctx, name, folder)) return;
  if (!ExtractFromArchives(ctx, name, folder)) return;
  MarkPresent(*modelTree_.Root(), name);
  if (name.find(".iwi") != std::string::npos) {
    std::string source = workingFolder + "\\images\\" + name;
    std::string out;
    if (ConvertToDds(ctx, source, out)) {
      std::error_code ec;
      std::filesystem::remove(ResolvePath(source), ec);
    }
  }
}

void CTessaryView::RetrieveAllFiles() {
  if (TreeItem* root = modelTree_.Root()) {
    // Pre-order over the core tree; items later in the walk may have been marked present.
    std::vector<TreeItem*> pending{root};
    while (!pending.empty()) {
      TreeItem* item = pending.back();
      pending.pop_back();
      RetrieveMissingItem(*item);
      for (auto it = item->children.rbegin(); it != item->children.rend(); ++it)
        pending.push_back(it->get());
    }
  }
  ReloadModel();
  if (allPassToggle == 1) {
    allPassToggle = 0;
    retrievePassTimer_.start();
    setEnabled(false);
  } else {
    allPassToggle = 1;
    setEnabled(true);
  }
}

void CTessaryView::OnRetrievePassTimer() {
  retrievePassTimer_.stop();
  RetrieveAllFiles();
}

}  // namespace tessary::ui
