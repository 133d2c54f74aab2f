#include "ui/FormTemplate.h"

#include <cstring>

namespace tessary::ui {

namespace {

using K = ControlKind;

const ControlTemplate kMainForm[] = {
    {kIdChooseFolder, K::SymbolButton, "...", QRect(326, 7, 21, 14), false},
    {kIdStatic, K::RightLabel, "Xmodel folder: ", QRect(19, 8, 55, 12), false},
    {kIdFolderBox, K::Edit, "", QRect(77, 8, 245, 12), false},
    {kIdPathSetup, K::SymbolButton, "S", QRect(359, 7, 15, 14), false},
    {kIdAbout, K::SymbolButton, "?", QRect(378, 7, 15, 14), false},
    {kIdReloadModel, K::SymbolButton, "R", QRect(7, 28, 15, 14), true},
    {kIdStatic, K::Label, "Xmodel properties: ", QRect(24, 28, 70, 14), false},
    {kIdShowExploded, K::CheckBox, "Show destructible parts", QRect(126, 31, 101, 10), true},
    {kIdTree, K::Tree, "", QRect(7, 44, 220, 229), false},
    {kIdPreviewSurface, K::Button, "Preview surface", QRect(7, 278, 220, 14), true},
    {kIdExportObj, K::Button, "Export .OBJ", QRect(7, 296, 108, 14), true},
    {kIdExportX, K::Button, "Export .X", QRect(119, 296, 108, 14), true},
    {kIdConvertToDds, K::Button, "Convert to DDS", QRect(15, 314, 63, 14), true},
    {kIdRetrieveFile, K::Button, "Retrieve file", QRect(84, 314, 63, 14), true},
    {kIdViewTags, K::Button, "View tags", QRect(153, 314, 63, 14), true},
    {kIdRefreshList, K::SymbolButton, "R", QRect(234, 28, 15, 14), false},
    {kIdStatic, K::Label, "Xmodel files:", QRect(252, 28, 119, 14), false},
    {kIdModelList, K::List, "", QRect(234, 44, 159, 259), false},
    {kIdStatic, K::Label, "Recent files:", QRect(234, 306, 55, 8), false},
    {kIdRecentFiles, K::DropDown, "", QRect(234, 316, 159, 66), false},
};

}  // namespace

std::span<const ControlTemplate> MainFormTemplate() {
  return kMainForm;
}

const ControlTemplate* FindControlTemplate(int id, const char* text) {
  for (const ControlTemplate& c : MainFormTemplate()) {
    if (c.id != id) continue;
    if (text == nullptr || std::strcmp(c.text, text) == 0) return &c;
  }
  return nullptr;
}

}  // namespace tessary::ui
