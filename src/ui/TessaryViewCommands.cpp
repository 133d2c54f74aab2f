// The form's commands on the selected tree item: exports, tags listing, preview,
// conversion and retrieval.
#include <QCheckBox>
#include <cctype>
#include <filesystem>
#include <memory>
#include <system_error>
#include <utility>
#include <vector>

#include "export/ModelExport.h"
#include "model/Model.h"
#include "model/ModelVersions.h"
#include "model/ShowModelTree.h"
#include "model/StructuralReader.h"
#include "model/XAnimListing.h"
#include "platform/Disk.h"
#include "platform/Path.h"
#include "ui/AnimationExportDlg.h"
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

}  // namespace

std::string CTessaryView::Sentence(std::string text) {
  if (!text.empty()) text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
  if (!text.empty() && text.back() != '.') text += '.';
  return text;
}

LoadOptions CTessaryView::AskedLoadOptions() const {
  return LoadOptions{showExploded_->isChecked() && showExploded_->isEnabledTo(this)};
}

// The form presents an export's outcome by a beep and a recent-files entry when it
// succeeded, and by one box saying why, naming the file, when it wrote nothing.
void CTessaryView::PresentExport(const std::string& modelName, const ExportOutcome& outcome) {
  ShowReaderMessages(outcome.messages);
  if (!outcome.ok) {
    dialogs_.ShowMessage(Sentence(outcome.error), kAppTitle);
    return;
  }
  AddRecentFile(modelName);
  dialogs_.Beep(BeepKind::Type1);
}

// The export buttons and menu entries differ only in the exporter they run on the
// selected model and level.
void CTessaryView::ExportSelection(ExportOutcome (*exporter)(const ExportRequest&)) {
  WaitCursor wait;
  Selection sel;
  if (!TakeSelection(*tree_, modelTree_, sel)) return;
  uint8_t version = 0;
  Disk disk;  // the export's reads
  if (!ReadVersionOrReport(disk, ModelFolderPath() + "\\" + sel.modelName, version)) return;
  ExportRequest request{workspace_.workingFolder, sel.modelName, sel.level, AskedLoadOptions()};
  request.disk = &disk;
  PresentExport(sel.modelName, exporter(request));
}

void CTessaryView::ExportObj() { ExportSelection(ExportObjFiles); }
void CTessaryView::ExportX() { ExportSelection(ExportXFile); }
void CTessaryView::ExportGltf() { ExportSelection(ExportGltfFile); }
void CTessaryView::ExportXModel() { ExportSelection(ExportXModelFiles); }

// The animations that move the selected level's bones, offered in the dialog of `kind`;
// false when there are none or the user cancels (a box has said why where that was not
// the user's choice).
bool CTessaryView::ChooseAnimations(AnimationExportKind kind, std::string& modelName, int& level,
                                    std::vector<std::string>& chosen, bool& rootMotion) {
  Selection sel;
  XAnimListing listing;
  const std::string& workdir = workspace_.workingFolder;
  {
    WaitCursor wait;
    if (!TakeSelection(*tree_, modelTree_, sel)) return false;
    uint8_t version = 0;
    Disk disk;
    if (!ReadVersionOrReport(disk, ModelFolderPath() + "\\" + sel.modelName, version)) return false;
    std::string error;
    const auto decoded = ReadStructuralLevel(disk, workdir, sel.modelName, sel.level, error);
    if (!decoded) {
      dialogs_.ShowMessage(Sentence(error), kAppTitle);
      return false;
    }
    std::vector<std::string> bones;
    for (const Bone& bone : decoded->bones) bones.push_back(bone.name);
    listing = ListMatchingXAnims(disk, workdir, bones);
  }
  if (!listing.folderFound) {
    dialogs_.ShowMessage("There is no xanim folder in " + ToNativeSeparators(workdir) +
                             ": the animation files are looked for there.",
                         kAppTitle);
    return false;
  }
  if (listing.matches.empty()) {
    dialogs_.ShowMessage("No animation file in " + ToNativeSeparators(listing.folder.string()) +
                             " moves a bone of " + sel.modelName + ".",
                         kAppTitle);
    return false;
  }
  {
    CAnimationExportDlg dialog(sel.modelName, listing, this, kind);
    if (dialog.exec() != QDialog::Accepted) return false;
    chosen = dialog.ChosenAnimations();
    rootMotion = dialog.RootMotion();
  }
  modelName = sel.modelName;
  level = sel.level;
  return !chosen.empty();
}

void CTessaryView::ExportGltfWithAnimations() {
  ExportRequest request{workspace_.workingFolder, {}, {}, {}};
  int level = 0;
  if (!ChooseAnimations(AnimationExportKind::Gltf, request.modelName, level, request.animations, request.rootMotion))
    return;
  request.lod = level;
  WaitCursor wait;
  // Bones an animation names but the model lacks stay out of the file (the file's extras
  // name them); the form tells only whether the file was written.
  PresentExport(request.modelName, ExportGltfFile(request));
}

void CTessaryView::ExportXAnims() {
  std::string modelName;
  int level = 0;
  std::vector<std::string> animations;
  bool rootMotion = true;
  if (!ChooseAnimations(AnimationExportKind::XAnimExport, modelName, level, animations, rootMotion)) return;
  WaitCursor wait;
  // Each animation is written as a set of its own, the level's model file with the first;
  // the box names the first that could not be written.
  ExportOutcome all;
  all.ok = true;
  bool modelWritten = false;
  for (const std::string& animation : animations) {
    ExportRequest request{workspace_.workingFolder, modelName, level, {}};
    request.animations = {animation};
    ExportOutcome outcome = ExportXAnimFiles(request, !modelWritten);
    ShowReaderMessages(std::exchange(outcome.messages, {}));
    modelWritten = modelWritten || outcome.ok;
    if (!outcome.ok && all.ok) all = std::move(outcome);
  }
  PresentExport(modelName, all);
}

void CTessaryView::ShowReaderMessages(const std::vector<std::string>& messages) {
  for (const std::string& message : messages) dialogs_.ShowMessage(message, kAppTitle);
}

std::string CTessaryView::WhyLevelCannotBeShown(Disk& disk, const ModelVersion& row, const std::string& modelName,
                                                int level, std::vector<std::string>& messages) const {
  std::unique_ptr<CModel> model = row.create();
  model->Open(disk, ModelFolderPath(), modelName);
  model->LoadLods();
  if (level < 0 || static_cast<size_t>(level) >= model->lods.size()) return {};
  const std::string& surfsName = model->lods[static_cast<size_t>(level)].surfsName;
  model->LoadParts(level);
  const bool loaded = model->LoadSurfaces(level, false, OptionsForLevel(AskedLoadOptions(), surfsName));
  messages = model->TakeMessages();
  if (loaded) return {};
  return SurfacesLoadError(disk, workspace_.workingFolder, surfsName);
}

void CTessaryView::PreviewSurface() {
  WaitCursor wait;
  Selection sel;
  if (!TakeSelection(*tree_, modelTree_, sel)) return;
  const ModelVersion* row = FindModelVersion(modelVersion);
  if (row && row->previewable) {
    // A level whose surfaces cannot be loaded would show the floor alone: one box says
    // why instead, as the exports do, and the model is not remembered.
    // A surface that cannot be decoded is told of here, once: the preview reads the level
    // again and keeps quiet about it.
    std::vector<std::string> messages;
    Disk disk;  // the check and the preview read the files once
    const std::string why = WhyLevelCannotBeShown(disk, *row, sel.modelName, sel.level, messages);
    ShowReaderMessages(messages);
    if (!why.empty()) {
      dialogs_.ShowMessage(Sentence(why), kAppTitle);
      return;
    }
    std::unique_ptr<CModel> model = row->create();
    model->Open(disk, ModelFolderPath(), sel.modelName);
    RunPreviewDialog(*model, sel.level, sel.item->text, profile_, dialogs_, nullptr,
                     AskedLoadOptions());
  }
  AddRecentFile(sel.modelName);
}

void CTessaryView::ViewTags() {
  WaitCursor wait;
  Selection sel;
  if (!TakeSelection(*tree_, modelTree_, sel)) return;
  uint8_t version = 0;
  Disk disk;
  if (!ReadVersionOrReport(disk, ModelFolderPath() + "\\" + sel.modelName, version)) return;
  ExportRequest request{workspace_.workingFolder, sel.modelName, sel.level, {}};
  request.disk = &disk;
  ExportOutcome outcome = ExportTagsFile(request);
  ShowReaderMessages(outcome.messages);
  if (!outcome.ok) {
    // An empty viewer, or one showing a listing left from before, would tell nothing.
    dialogs_.ShowMessage("There is no tags listing for " + sel.modelName + ": " + outcome.error + ".",
                         kAppTitle);
    return;
  }
  // Kept for Notepad, which reads its font from there; the listing itself opens in the
  // program's own viewer, which is not waited for.
  WriteRegistryString(registry_, RegistryRoot::CurrentUser, profile::kNotepadKey, "lfFaceName",
                      "Courier New");
  auto viewer = std::make_unique<TagsViewer>(this);
  std::string error;
  if (!viewer->OpenListing(workspace_.workingFolder + "\\obj\\" + sel.modelName + "_tags.txt", error)) {
    dialogs_.ShowMessage(error, kAppTitle);
    return;
  }
  viewer->show();
  lastViewer_ = viewer.release();  // the form owns it now; it deletes itself when closed
}

TagsViewer* CTessaryView::LastTagsViewer() const { return lastViewer_.data(); }

void CTessaryView::ConvertSelectedImage() {
  WaitCursor wait;
  const TreeItem* item = tree_->CurrentCoreItem();
  if (item == nullptr) return;
  if (tessary::ConvertSelectedImage(workspace_, item->text, dialogs_)) ReloadModel();
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
