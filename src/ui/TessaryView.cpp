#include "ui/TessaryView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "model/ModelVersions.h"
#include "model/ShowModelTree.h"
#include "platform/Disk.h"
#include "platform/Path.h"
#include "ui/AboutDlg.h"
#include "ui/ContextMenus.h"
#include "ui/DisplayName.h"
#include "ui/FormStrings.h"
#include "ui/FormTemplate.h"
#include "ui/ModelListBox.h"
#include "ui/ModelTreeView.h"
#include "ui/PathSetupDlg.h"
#include "ui/SymbolButton.h"
#include "ui/UserDialogs.h"
#include "workspace/ProfileKeys.h"

// Resources live in the static library; they must be registered by name once.
static void InitTessaryResources() { Q_INIT_RESOURCE(tessary); }

namespace tessary::ui {

namespace {

constexpr int kExtentMargin = 90;  // the list scrolls sideways this much less than the widest name

}  // namespace

CTessaryView::CTessaryView(ISettingsStore& profile, IRegistryStore& registry,
                           IUserDialogs& dialogs, QWidget* parent)
    : QWidget(parent),
      profile_(profile),
      registry_(registry),
      dialogs_(dialogs),
      workspace_(profile, registry),
      retrieval_(workspace_, dialogs) {
  InitTessaryResources();
  CreateControls();
  PlaceControls();
  firstRunTimer_.setSingleShot(true);
  firstRunTimer_.setInterval(1000);
  connect(&firstRunTimer_, &QTimer::timeout, this, &CTessaryView::OnFirstRunTimer);
  retrievePassTimer_.setSingleShot(true);
  retrievePassTimer_.setInterval(1000);
  connect(&retrievePassTimer_, &QTimer::timeout, this, &CTessaryView::OnRetrievePassTimer);

  workspace_.onFieldsChanged = [this] { RefreshControls(); };
  retrieval_.reloadModel = [this] {
    lastLoadedIndex = -1;
    SelectModel(retrieval_.Notices());
  };
  lastLoadedIndex = -1;
  modelVersion = 0;
  workspace_.folderDisplay.clear();
  workspace_.LoadExternalPaths(dialogs_);
}

CTessaryView::~CTessaryView() { SaveSettings(); }

void CTessaryView::CreateControls() {
  chooseFolderButton_ = new CSymbolButton(this);
  folderLabel_ = new QLabel(this);
  folderBox_ = new QLineEdit(this);
  pathSetupButton_ = new CSymbolButton(this);
  aboutButton_ = new CSymbolButton(this);
  reloadButton_ = new CSymbolButton(this);
  propertiesLabel_ = new QLabel(this);
  showExploded_ = new QCheckBox(this);
  tree_ = new ModelTreeView(this);
  previewButton_ = new QPushButton(this);
  exportObjButton_ = new QPushButton(this);
  exportXButton_ = new QPushButton(this);
  convertButton_ = new QPushButton(this);
  retrieveButton_ = new QPushButton(this);
  viewTagsButton_ = new QPushButton(this);
  refreshButton_ = new CSymbolButton(this);
  filesLabel_ = new QLabel(this);
  modelList_ = new ModelListBox(this);
  recentLabel_ = new QLabel(this);
  recentBox_ = new QComboBox(this);

  folderBox_->setReadOnly(true);
  showExploded_->setLayoutDirection(Qt::RightToLeft);  // text on the left of the box
  recentBox_->setEditable(false);
  recentBox_->setMaxVisibleItems(static_cast<int>(RecentFiles::kMaxEntries));

  connect(chooseFolderButton_, &QPushButton::clicked, this, &CTessaryView::ChooseWorkingFolder);
  connect(refreshButton_, &QPushButton::clicked, this, &CTessaryView::RefreshList);
  connect(reloadButton_, &QPushButton::clicked, this, &CTessaryView::ReloadModel);
  // Selection, not the focus row: tabbing into the list must not load a model.
  connect(modelList_, &QListWidget::itemSelectionChanged, this, [this] { SelectModel(); });
  connect(modelList_, &QListWidget::itemDoubleClicked, this, [this] { ViewFirstSurface(*this); });
  connect(recentBox_, &QComboBox::activated, this, [this] { SelectRecentFile(); });
  connect(tree_, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* row) { OnTreeSelectionChanged(row); });
  connect(tree_, &ModelTreeView::RightClicked, this,
          [this](QTreeWidgetItem*, const QPoint& pos) { ShowTreeMenu(*this, pos); });
  connect(previewButton_, &QPushButton::clicked, this, &CTessaryView::PreviewSurface);
  connect(exportObjButton_, &QPushButton::clicked, this, &CTessaryView::ExportObj);
  connect(exportXButton_, &QPushButton::clicked, this, &CTessaryView::ExportX);
  connect(viewTagsButton_, &QPushButton::clicked, this, &CTessaryView::ViewTags);
  connect(convertButton_, &QPushButton::clicked, this, &CTessaryView::ConvertSelectedImage);
  connect(retrieveButton_, &QPushButton::clicked, this, &CTessaryView::RetrieveFile);
  connect(pathSetupButton_, &QPushButton::clicked, this, &CTessaryView::OpenPathSetup);
  connect(aboutButton_, &QPushButton::clicked, this, &CTessaryView::OpenAbout);
}

QWidget* CTessaryView::Control(int id) const {
  switch (id) {
    case kIdTree: return tree_;
    case kIdChooseFolder: return chooseFolderButton_;
    case kIdRefreshList: return refreshButton_;
    case kIdModelList: return modelList_;
    case kIdExportObj: return exportObjButton_;
    case kIdReloadModel: return reloadButton_;
    case kIdFolderBox: return folderBox_;
    case kIdViewTags: return viewTagsButton_;
    case kIdAbout: return aboutButton_;
    case kIdPreviewSurface: return previewButton_;
    case kIdExportX: return exportXButton_;
    case kIdConvertToDds: return convertButton_;
    case kIdRetrieveFile: return retrieveButton_;
    case kIdRecentFiles: return recentBox_;
    case kIdPathSetup: return pathSetupButton_;
    case kIdShowExploded: return showExploded_;
    default: return nullptr;
  }
}

void CTessaryView::PlaceControls() {
  units_ = BaseUnitsOf(font());
  QLabel* labels[] = {folderLabel_, propertiesLabel_, filesLabel_, recentLabel_};
  size_t nextLabel = 0;
  for (const ControlTemplate& c : MainFormTemplate()) {
    QWidget* w = c.id == kIdStatic ? labels[nextLabel++] : Control(c.id);
    QRect r = DialogToPixels(c.rect, units_);
    if (c.kind == ControlKind::DropDown) {
      // The template's height is that of the dropped list; the closed box is one line.
      r.setHeight(w->sizeHint().height());
    }
    w->setGeometry(r);
    w->setEnabled(!c.disabled);
    w->setObjectName(c.id == kIdStatic ? QString("label%1").arg(nextLabel)
                                       : QString("control%1").arg(c.id));
    QString text = QString::fromLatin1(c.text);
    if (auto* label = qobject_cast<QLabel*>(w)) {
      label->setText(text);
      label->setAlignment((c.kind == ControlKind::RightLabel ? Qt::AlignRight : Qt::AlignLeft) |
                          Qt::AlignTop);
    } else if (auto* button = qobject_cast<QPushButton*>(w)) {
      button->setText(text);
      button->setAccessibleName(text);
    } else if (auto* box = qobject_cast<QCheckBox*>(w)) {
      box->setText(text);
    }
  }
  setFixedSize(DialogToPixels(QRect(0, 0, kFormWidthDu, kFormHeightDu), units_).size());
}

void CTessaryView::SetSymbols() {
  refreshButton_->SetSymbol(-18, 100, "Webdings", 0x71);
  reloadButton_->SetSymbol(-18, 100, "Webdings", 0x71);
  chooseFolderButton_->SetSymbol(-18, 100, "Wingdings", 0x31);
  pathSetupButton_->SetSymbol(-18, 100, "Webdings", 0x40);
  aboutButton_->SetSymbol(-18, 100, "Webdings", 0x69);
}

void CTessaryView::RefreshControls() {
  // Without a working folder the box stays empty: "/xmodels" alone would read as a real
  // folder at the top of the file system.
  folderBox_->setText(workspace_.workingFolder.empty()
                          ? QString()
                          : DisplayName(ToNativeSeparators(workspace_.folderDisplay)));
}

void CTessaryView::OnInitialUpdate() {
  SetSymbols();
  workspace_.LoadWorkingFolder();
  if (workspace_.workingFolder.empty()) {
    firstRunTimer_.start();
    return;
  }
  showExploded_->setChecked(profile_.GetProfileInt(profile::kSettings, profile::kShowExploded, 0) != 0);
  workspace_.EnsureWorkingFolder(dialogs_, dialogs_, dialogs_);
  FillFileList();
}

void CTessaryView::OnFirstRunTimer() {
  firstRunTimer_.stop();
  dialogs_.ShowMessage(kFirstRunMessage, kAppTitle);
  ChooseWorkingFolder();
}

bool CTessaryView::EnsureWorkingFolder() { return workspace_.EnsureWorkingFolder(dialogs_, dialogs_, dialogs_); }

void CTessaryView::ChooseWorkingFolder() {
  if (workspace_.ChooseWorkingFolder(dialogs_, dialogs_, dialogs_)) FillFileList();
}

void CTessaryView::FillFileList() {
  tree_->clear();
  modelTree_.Clear();
  // No model is shown any more: whichever row is chosen next loads, the one at the row
  // loaded before included.
  lastLoadedIndex = -1;
  QSignalBlocker block(modelList_);
  modelList_->clear();
  int widest = 0;
  std::error_code ec;
  std::filesystem::directory_iterator it(Disk().Resolve(ModelFolderPath()), ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    if (it->is_directory(ec)) continue;
    const int row = modelList_->AddFileName(it->path().filename().string());
    widest = std::max(widest, modelList_->MeasureName(modelList_->item(row)->text()));
  }
  modelList_->SetHorizontalExtent(widest - kExtentMargin);
  recentList_.Load(profile_);
  ShowRecentFiles();
}

void CTessaryView::RefreshList() {
  lastLoadedIndex = -1;
  FillFileList();
}

void CTessaryView::SelectModel() { SelectModel(dialogs_); }

void CTessaryView::SelectModel(INotifier& readerNotices) {
  QList<QListWidgetItem*> selected = modelList_->selectedItems();
  int index = selected.isEmpty() ? -1 : modelList_->row(selected.first());
  if (index < 0 || index == lastLoadedIndex) return;
  lastLoadedIndex = index;
  Disk disk;  // the model's files as they are now
  std::string name = modelList_->FileNameAt(index);
  if (!ReadVersionOrReport(disk, ModelFolderPath() + "\\" + name, modelVersion)) {
    // Nothing of the model shown before may stay beside the newly highlighted entry.
    ClearModelTree();
    return;
  }
  retrieval_.modelVersion = modelVersion;
  std::vector<std::string> messages;
  const std::string whyEmpty = ShowModelTree(disk, name, messages);
  for (const std::string& message : messages) readerNotices.ShowMessage(message, kAppTitle);
  reloadButton_->setEnabled(true);
  // A tree of the root and its two groups alone tells nothing by itself.
  if (!whyEmpty.empty()) dialogs_.ShowMessage(Sentence(whyEmpty), kAppTitle);
}

void CTessaryView::ReloadModel() {
  lastLoadedIndex = -1;
  SelectModel();
}

bool CTessaryView::ReadVersionOrReport(Disk& disk, const std::string& headerPath, uint8_t& version) {
  std::optional<uint8_t> read = ReadModelVersion(disk, headerPath);
  if (!read) {
    std::error_code ec;
    bool notFound = !std::filesystem::exists(disk.Resolve(headerPath), ec);
    dialogs_.ShowFileError(ToNativeSeparators(headerPath), notFound);
    return false;
  }
  version = *read;
  return true;
}

void CTessaryView::ClearModelTree() {
  tree_->clear();
  modelTree_.Clear();
  for (QPushButton* b : {viewTagsButton_, previewButton_, exportObjButton_, exportXButton_,
                         retrieveButton_, convertButton_})
    b->setEnabled(false);
  showExploded_->setEnabled(false);
}

std::string CTessaryView::ShowModelTree(Disk& disk, const std::string& name, std::vector<std::string>& messages) {
  ClearModelTree();
  std::string whyEmpty =
      tessary::ShowModelTree(disk, modelTree_, workspace_.workingFolder, name, modelVersion, messages);
  tree_->ShowTree(modelTree_.Root());
  QTreeWidgetItem* root = tree_->topLevelItem(0);
  if (FindModelVersion(modelVersion)) tree_->ExpandAll(root);
  if (root != nullptr) tree_->scrollToItem(root);
  return whyEmpty;
}

void CTessaryView::OnTreeSelectionChanged(QTreeWidgetItem* row) {
  const TreeItem* item = ModelTreeView::CoreItem(row);
  const TreeItem* parent = item ? item->parent : nullptr;
  bool present = item && item->image == kImagePresent;
  bool isParts = parent && parent->text == kPartsGroup && present;
  bool isSurface = parent && parent->text == kSurfacesGroup && present;
  bool canConvert = present && item->text.find(".iwi") != std::string::npos;
  bool isMissing = item && item->image == kImageMissing;
  bool isDestructible = isSurface && OptionsForLevel(LoadOptions{true}, item->text).showExploded;
  viewTagsButton_->setEnabled(isParts);
  previewButton_->setEnabled(isSurface);
  exportObjButton_->setEnabled(isSurface);
  // The .X writer exists for version 25 only, so the button follows Export .OBJ there.
  const ModelVersion* versionRow = FindModelVersion(modelVersion);
  exportXButton_->setEnabled(isSurface && versionRow && versionRow->hasXExport);
  convertButton_->setEnabled(canConvert);
  retrieveButton_->setEnabled(isMissing);
  showExploded_->setEnabled(isDestructible);
}

void CTessaryView::AddRecentFile(const std::string& name) {
  recentList_.AddRecentFile(name);
  ShowRecentFiles();
}

void CTessaryView::ShowRecentFiles() {
  QSignalBlocker block(recentBox_);
  QString current = recentBox_->currentText();
  int keep = -1;
  recentBox_->clear();
  for (const std::string& entry : recentList_.Entries()) {
    recentBox_->addItem(DisplayName(entry));
    if (keep < 0 && recentBox_->itemText(recentBox_->count() - 1) == current)
      keep = recentBox_->count() - 1;
  }
  recentBox_->setCurrentIndex(keep);
}

void CTessaryView::SelectRecentFile() {
  int index = recentBox_->currentIndex();
  if (index < 0) return;
  QString text = recentBox_->itemText(index);
  int row = modelList_->FindPrefix(text);
  if (row < 0) {
    recentList_.RemoveAt(static_cast<size_t>(index));
    ShowRecentFiles();
    dialogs_.Beep(BeepKind::Simple);
    return;
  }
  {
    QSignalBlocker block(modelList_);
    modelList_->setCurrentRow(row);
  }
  SelectModel();
}

void CTessaryView::SaveSettings() {
  workspace_.SaveSettings(showExploded_->isChecked(), recentList_);
  ShowRecentFiles();
}

void CTessaryView::OpenPathSetup() {
  if (RunPathSetupDialog(profile_, registry_, dialogs_, this)) workspace_.ApplyPathSetup();
}

void CTessaryView::OpenAbout() { RunAboutDialog(this); }

void CTessaryView::contextMenuEvent(QContextMenuEvent* event) {
  ShowListMenu(*this, event->globalPos());
  event->accept();
}

}  // namespace tessary::ui
