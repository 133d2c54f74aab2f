#pragma once
// The main form's dialog template: every control's id, text and place in dialog units.
#include <QRect>
#include <span>

namespace tessary::ui {

// Control ids of the form.
enum FormControlId : int {
  kIdTree = 1000,
  kIdChooseFolder = 1004,
  kIdRefreshList = 1005,
  kIdModelList = 1006,
  kIdExportObj = 1007,
  kIdReloadModel = 1008,
  kIdFolderBox = 1009,
  kIdViewTags = 1010,
  kIdAbout = 1011,
  kIdPreviewSurface = 1012,
  kIdExportX = 1013,
  kIdConvertToDds = 1014,
  kIdRetrieveFile = 1015,
  kIdRecentFiles = 1019,
  kIdPathSetup = 1020,
  kIdShowExploded = 1024,
  kIdStatic = -1,  // labels carry no id
};

enum class ControlKind { SymbolButton, Button, Label, RightLabel, Edit, CheckBox, Tree, List, DropDown };

struct ControlTemplate {
  int id;
  ControlKind kind;
  const char* text;
  QRect rect;  // x, y, width, height in dialog units
  bool disabled;
};

// The form's size in dialog units.
inline constexpr int kFormWidthDu = 400;
inline constexpr int kFormHeightDu = 335;

// The controls in template order.
std::span<const ControlTemplate> MainFormTemplate();

// The entry of `id` (labels are found by text), or null.
const ControlTemplate* FindControlTemplate(int id, const char* text = nullptr);

}  // namespace tessary::ui
