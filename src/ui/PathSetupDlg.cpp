#include "ui/PathSetupDlg.h"

#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <qdrawutil.h>
#include <algorithm>
#include <cctype>

#include "platform/Path.h"
#include "ui/DialogUnits.h"

namespace tessary::ui {

namespace {

constexpr int kWidthDu = 301;
constexpr int kHeightDu = 129;

enum class Kind { DefaultButton, Button, Group, RightLabel, Label, Edit };

struct ControlSpec {
  int id;  // 0: a label or the group box
  Kind kind;
  const char* text;
  QRect rect;  // dialog units
};

// In tab order, as the template lists them.
constexpr ControlSpec kControls[] = {
    {kIdPathOk, Kind::DefaultButton, "OK", {244, 10, 50, 14}},
    {kIdPathCancel, Kind::Button, "Cancel", {244, 27, 50, 14}},
    {0, Kind::Group, "External Paths ", {7, 7, 229, 115}},
    {0, Kind::RightLabel, "WinRAR:", {15, 17, 31, 14}},
    {kIdWinRarPath, Kind::Edit, "", {48, 17, 162, 14}},
    {kIdBrowseWinRar, Kind::Button, "...", {215, 17, 14, 14}},
    {0, Kind::Label, "CoD4:", {15, 38, 31, 14}},
    {kIdCod4Path, Kind::Edit, "", {48, 38, 162, 14}},
    {kIdBrowseCod4, Kind::Button, "...", {215, 38, 14, 14}},
    {0, Kind::Label, "CoD2:", {15, 59, 31, 14}},
    {kIdCod2Path, Kind::Edit, "", {48, 59, 162, 14}},
    {kIdBrowseCod2, Kind::Button, "...", {215, 59, 14, 14}},
    {0, Kind::Label, "CoDUO:", {15, 80, 31, 14}},
    {kIdCodUoPath, Kind::Edit, "", {48, 80, 162, 14}},
    {kIdBrowseCodUo, Kind::Button, "...", {215, 80, 14, 14}},
    {0, Kind::Label, "CoD:", {15, 100, 31, 14}},
    {kIdCodPath, Kind::Edit, "", {48, 100, 162, 14}},
    {kIdBrowseCod, Kind::Button, "...", {215, 100, 14, 14}},
};

QString Q(const std::string& s) { return QString::fromStdString(s); }

// A group box as the dialog's template draws it: the title sits in the frame's top line,
// which runs through the middle of the title's height, so the frame starts where the box
// does and clears the first row. (A toolkit group box puts its frame below the title,
// which pushes it onto the first row of a layout made for the other look.)
class TitledFrame final : public QWidget {
 public:
  TitledFrame(const QString& title, QWidget* parent) : QWidget(parent), title_(title) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const QFontMetrics metrics(font());
    // Etched, as the template's group box: a dark line with a light one inside it.
    qDrawShadeRect(&painter, rect().adjusted(0, metrics.height() / 2, 0, 0), palette(), true, 1, 0);
    const QRect text(metrics.averageCharWidth(), 0, metrics.horizontalAdvance(title_) + 2, metrics.height());
    painter.fillRect(text, palette().window());
    style()->drawItemText(&painter, text, Qt::AlignCenter, palette(), isEnabled(), title_, QPalette::WindowText);
  }

 private:
  QString title_;
};

QString ControlName(int id) { return QString("control%1").arg(id); }

// The field a game folder button or an edit box belongs to.
std::string* FieldOf(PathSetupValues& v, int id) {
  switch (id) {
    case kIdWinRarPath: return &v.winrarPath;
    case kIdCod4Path: case kIdBrowseCod4: return &v.cod4Path;
    case kIdCod2Path: case kIdBrowseCod2: return &v.cod2Path;
    case kIdCodUoPath: case kIdBrowseCodUo: return &v.coduoPath;
    case kIdCodPath: case kIdBrowseCod: return &v.codPath;
    default: return nullptr;
  }
}

constexpr int kEditIds[] = {kIdCodPath, kIdCod2Path, kIdCod4Path, kIdCodUoPath, kIdWinRarPath};

bool ChooseProgramFile(QWidget* parent, std::string& path) {
  // No initial file name and no read-only choice: an existing program is picked.
  QFileDialog dialog(parent, "Browse to WinRAR", QString(), "Program Files (*.exe)");
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setDefaultSuffix("exe");
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  path = dialog.selectedFiles().first().toStdString();
  return true;
}

}  // namespace

std::string GameFolderTitle(int buttonId) {
  switch (buttonId) {
    case kIdBrowseCod: return "Choose the CoD folder";
    case kIdBrowseCod2: return "Choose the CoD2 folder";
    case kIdBrowseCod4: return "Choose the CoD4 folder";
    case kIdBrowseCodUo: return "Choose the CoD:United Objective folder";
    default: return {};
  }
}

bool HasProgramExtension(const std::string& path) {
  // The extension is what follows the last dot of the file's name (either separator).
  std::string name = BareFileName(path);
  size_t dot = name.rfind('.');
  if (dot == std::string::npos) return false;
  std::string ext = name.substr(dot + 1);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext == "exe";
}

CPathSetupDlg::CPathSetupDlg(ISettingsStore& profile, IRegistryStore& registry,
                             IUserDialogs& dialogs, QWidget* parent)
    : QDialog(parent), profile_(profile), chooser_(dialogs) {
  fields_ = LoadPathSetupValues(profile, registry, dialogs);
  chooseProgram = [this](std::string& path) { return ChooseProgramFile(this, path); };
  setWindowTitle("Path Setup");
  CreateControls();
  RefreshEdits();
}

void CPathSetupDlg::CreateControls() {
  DialogBaseUnits units = BaseUnitsOf(font());
  int labelCount = 0;
  for (const ControlSpec& c : kControls) {
    QWidget* w = nullptr;
    QString text = QString::fromLatin1(c.text);
    switch (c.kind) {
      case Kind::DefaultButton:
      case Kind::Button: {
        auto* button = new QPushButton(text, this);
        button->setDefault(c.kind == Kind::DefaultButton);
        button->setAutoDefault(false);
        w = button;
        break;
      }
      case Kind::Group: w = new TitledFrame(text, this); break;
      case Kind::RightLabel:
      case Kind::Label: {
        auto* label = new QLabel(text, this);
        label->setAlignment(
            (c.kind == Kind::RightLabel ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop);
        w = label;
        break;
      }
      case Kind::Edit: w = new QLineEdit(this); break;
    }
    w->setGeometry(DialogToPixels(c.rect, units));
    w->setObjectName(c.id != 0 ? ControlName(c.id) : QString("label%1").arg(++labelCount));
  }
  // The group box is created before the controls it frames, so they stay above it.
  findChild<QWidget*>("label1")->lower();
  setFixedSize(DialogToPixels(QRect(0, 0, kWidthDu, kHeightDu), units).size());

  auto button = [this](int id) { return static_cast<QPushButton*>(Control(id)); };
  connect(button(kIdPathOk), &QPushButton::clicked, this, &CPathSetupDlg::accept);
  connect(button(kIdPathCancel), &QPushButton::clicked, this, &CPathSetupDlg::reject);
  connect(button(kIdBrowseWinRar), &QPushButton::clicked, this, &CPathSetupDlg::BrowseWinRar);
  for (int id : {kIdBrowseCod4, kIdBrowseCod2, kIdBrowseCodUo, kIdBrowseCod})
    connect(button(id), &QPushButton::clicked, this, [this, id] { BrowseGameFolder(id); });
}

QWidget* CPathSetupDlg::Control(int id) const { return findChild<QWidget*>(ControlName(id)); }

QLineEdit* CPathSetupDlg::Edit(int id) const { return findChild<QLineEdit*>(ControlName(id)); }

void CPathSetupDlg::RefreshEdits() {
  // The boxes show the platform's separators; what they hold is taken back as it stands.
  for (int id : kEditIds) Edit(id)->setText(Q(ToNativeSeparators(*FieldOf(fields_, id))));
}

void CPathSetupDlg::TakeEdits() {
  for (int id : kEditIds) *FieldOf(fields_, id) = Edit(id)->text().toStdString();
}

void CPathSetupDlg::BrowseGameFolder(int buttonId) {
  std::string* field = FieldOf(fields_, buttonId);
  if (field == nullptr) return;
  TakeEdits();  // what was typed in the other boxes survives their refresh
  std::string folder = *field;
  if (!chooser_.BrowseForFolder(folder, GameFolderTitle(buttonId))) return;
  *field = folder + "\\";
  RefreshEdits();
}

void CPathSetupDlg::BrowseWinRar() {
  TakeEdits();
  std::string path;
  if (!chooseProgram || !chooseProgram(path) || !HasProgramExtension(path)) return;
  fields_.winrarPath = path;
  RefreshEdits();
}

void CPathSetupDlg::accept() {
  TakeEdits();
  QDialog::accept();
  StorePathSetupValues(profile_, fields_);
}

bool RunPathSetupDialog(ISettingsStore& profile, IRegistryStore& registry,
                        IUserDialogs& dialogs, QWidget* parent) {
  CPathSetupDlg dialog(profile, registry, dialogs, parent);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace tessary::ui
