#pragma once
// The main form: the model tree with the action buttons on the left, the list of model
// header files and the recent files on the right, the working folder box on top. It
// owns the workspace fields and runs every command of the program's window.
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "export/ModelExport.h"
#include "model/LoadOptions.h"
#include "model/ModelTree.h"
#include "ui/DialogUnits.h"
#include "workspace/RecentFiles.h"
#include "workspace/Retrieval.h"
#include "workspace/Workspace.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidgetItem;

namespace tessary {
struct ModelVersion;
}  // namespace tessary

namespace tessary::ui {

class CSymbolButton;
enum class AnimationExportKind;
class IUserDialogs;
class ImageViewer;
class ModelListBox;
class ModelTreeView;
class TagsViewer;

class CTessaryView : public QWidget {
  Q_OBJECT
 public:
  // The form keeps its settings in `profile`, reads other programs' keys from `registry`,
  // and asks and tells the user through `dialogs`; all three must outlive it. Creating
  // the form reads the external paths.
  CTessaryView(ISettingsStore& profile, IRegistryStore& registry, IUserDialogs& dialogs,
               QWidget* parent = nullptr);
  // Destroying the form stores its settings.
  ~CTessaryView() override;

  // The second step of start-up, once the form sits in its frame: symbols, image list,
  // working folder (or the first-run timer) and the model list.
  void OnInitialUpdate();

  // Commands.
  void ChooseWorkingFolder();
  bool EnsureWorkingFolder();
  void FillFileList();
  void RefreshList();
  void SelectModel();
  // As SelectModel, what reading the model brings up going to `readerNotices` (the
  // retrieval's, which tells each message once per "Retrieve all files").
  void SelectModel(INotifier& readerNotices);
  void ReloadModel();
  // Fills the tree with the model `name`; when the tree holds only the root and its two
  // groups, returns why (else an empty string). `messages` gets what the reading brought up.
  std::string ShowModelTree(Disk& disk, const std::string& name, std::vector<std::string>& messages);
  void ExportObj();
  void ExportX();
  // A surface item's Export .glTF: <level>.glb of the skinned model (structural reader).
  void ExportGltf();
  // A surface item's Export .glTF with animations: the animation files of the working
  // folder's xanim folder that move the model's bones, offered in a dialog, and <level>.glb
  // with those chosen.
  void ExportGltfWithAnimations();
  // A surface item's Export .XMODEL_EXPORT: <level>.XMODEL_EXPORT, the mod tools' model
  // source text, and <model>.gdt naming it.
  void ExportXModel();
  // A surface item's Export .XANIM_EXPORT: the same dialog, and for each animation chosen
  // <anim>.XANIM_EXPORT with its .gdt entry, and the level as <level>.XMODEL_EXPORT.
  void ExportXAnims();
  void PreviewSurface();
  void ViewTags();
  void SelectRecentFile();
  void AddRecentFile(const std::string& name);
  void SaveSettings();
  void ConvertSelectedImage();
  // "View image file": the selected image in the program's own viewer, or a box saying why not.
  void ViewImageFile();
  void RetrieveFile();
  void RetrieveAllFiles();
  void OpenPathSetup();
  void OpenAbout();

  // Controls, by the ids of the form's template.
  QWidget* Control(int id) const;
  ModelTreeView& Tree() const { return *tree_; }
  ModelListBox& ModelList() const { return *modelList_; }
  QComboBox& RecentBox() const { return *recentBox_; }
  QCheckBox& ShowExplodedBox() const { return *showExploded_; }
  const ModelTree& LoadedTree() const { return modelTree_; }
  // The tags viewer last opened by View tags (null once closed).
  TagsViewer* LastTagsViewer() const;
  // The image viewer last opened by View image file (null once closed).
  ImageViewer* LastImageViewer() const;
  bool FirstRunTimerActive() const { return firstRunTimer_.isActive(); }
  bool RetrievePassTimerActive() const { return retrievePassTimer_.isActive(); }
  DialogBaseUnits BaseUnits() const { return units_; }

  // The workspace fields (working folder, folder box text, external paths).
  tessary::Workspace& WorkspaceFields() { return workspace_; }
  const RecentFiles& Recent() const { return recentList_; }

  // The version byte of the loaded model, 0 before any; the list row last loaded, -1 for none.
  uint8_t modelVersion = 0;
  int lastLoadedIndex = -1;

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void CreateControls();
  void PlaceControls();
  void SetSymbols();
  // Pushes the fields to the controls (the folder box).
  void RefreshControls();
  // Empties the tree and disables what acts on its items.
  void ClearModelTree();
  void OnTreeSelectionChanged(QTreeWidgetItem* row);
  void OnFirstRunTimer();
  void OnRetrievePassTimer();
  // Shows the recent-files list in its box.
  void ShowRecentFiles();
  // The load options the check box asks for: shown exploded when it is both checked and
  // enabled.
  LoadOptions AskedLoadOptions() const;
  // Success: the model joins the recent files and a beep sounds. Nothing written: one box
  // saying why, naming the file; no beep, no recent-files entry.
  void PresentExport(const std::string& modelName, const ExportOutcome& outcome);
  void ExportSelection(ExportOutcome (*exporter)(const ExportRequest&));
  // Why the preview of `level` would show no model: its surfaces cannot be loaded (the
  // export's message). Empty when they load. `messages` gets what the readers brought up.
  std::string WhyLevelCannotBeShown(Disk& disk, const ModelVersion& row, const std::string& modelName, int level,
                                    std::vector<std::string>& messages) const;
  // A box for each message the readers brought up, in order.
  void ShowReaderMessages(const std::vector<std::string>& messages);
  // A reason as a box says it: a sentence.
  static std::string Sentence(std::string text);
  // The animation files the user picks for the selected level in the animation dialog.
  bool ChooseAnimations(AnimationExportKind kind, std::string& modelName, int& level,
                        std::vector<std::string>& chosen, bool& rootMotion);
  // The header's version byte, or nullopt after the file-error box.
  bool ReadVersionOrReport(Disk& disk, const std::string& headerPath, uint8_t& version);
  std::string ModelFolderPath() const { return workspace_.workingFolder + "\\xmodel"; }

  ISettingsStore& profile_;
  IRegistryStore& registry_;
  IUserDialogs& dialogs_;
  tessary::Workspace workspace_;
  RecentFiles recentList_;
  Retrieval retrieval_;
  DialogBaseUnits units_;
  ModelTree modelTree_;

  CSymbolButton* chooseFolderButton_ = nullptr;
  QLabel* folderLabel_ = nullptr;
  QLineEdit* folderBox_ = nullptr;
  CSymbolButton* pathSetupButton_ = nullptr;
  CSymbolButton* aboutButton_ = nullptr;
  CSymbolButton* reloadButton_ = nullptr;
  QLabel* propertiesLabel_ = nullptr;
  QCheckBox* showExploded_ = nullptr;
  ModelTreeView* tree_ = nullptr;
  QPushButton* previewButton_ = nullptr;
  QPushButton* exportObjButton_ = nullptr;
  QPushButton* exportXButton_ = nullptr;
  QPushButton* convertButton_ = nullptr;
  QPushButton* retrieveButton_ = nullptr;
  QPushButton* viewTagsButton_ = nullptr;
  CSymbolButton* refreshButton_ = nullptr;
  QLabel* filesLabel_ = nullptr;
  ModelListBox* modelList_ = nullptr;
  QLabel* recentLabel_ = nullptr;
  QComboBox* recentBox_ = nullptr;

  QTimer firstRunTimer_;      // timer 11: the first-run prompt
  QTimer retrievePassTimer_;  // timer 7: second pass of Retrieve all files
  QPointer<TagsViewer> lastViewer_;
  QPointer<ImageViewer> lastImageViewer_;
};

}  // namespace tessary::ui
