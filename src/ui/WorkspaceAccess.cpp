// The profile is QSettings("Ravenmoor", "Tessary"). Conversion and retrieval are not
// available yet: they report failure, which the form answers with its beeps.
#include "ui/WorkspaceAccess.h"

#include <QSettings>

#include "ui/FormStrings.h"

namespace tessary::ui {

namespace {

QString Key(const std::string& section, const std::string& name) {
  return QString::fromStdString(section + "/" + name);
}

}  // namespace

std::string GetProfileString(const std::string& section, const std::string& name,
                             const std::string& def) {
  QSettings s(kOrganisation, kAppTitle);
  return s.value(Key(section, name), QString::fromStdString(def)).toString().toStdString();
}

int GetProfileInt(const std::string& section, const std::string& name, int def) {
  QSettings s(kOrganisation, kAppTitle);
  bool ok = false;
  int v = s.value(Key(section, name), def).toInt(&ok);
  return ok ? v : def;
}

void WriteProfileString(const std::string& section, const std::string& name,
                        const std::string& value) {
  QSettings s(kOrganisation, kAppTitle);
  s.setValue(Key(section, name), QString::fromStdString(value));
}

void WriteProfileInt(const std::string& section, const std::string& name, int value) {
  QSettings s(kOrganisation, kAppTitle);
  s.setValue(Key(section, name), value);
}

ExternalPaths LoadExternalPaths() {
  ExternalPaths paths;
  std::string cod4 = GetProfileString("Paths", "CoD4");
  if (!cod4.empty()) paths.cod4Path = cod4;
  std::string cod2 = GetProfileString("Paths", "CoD2");
  if (!cod2.empty()) paths.cod2Path = cod2;
  return paths;
}

std::string FolderForItem(const TreeItem& item) {
  const TreeItem* parent = item.parent;
  if (parent == nullptr) return {};
  if (parent->text == kSurfacesGroup) return "xmodelsurfs";
  if (parent->text == kPartsGroup) return "xmodelparts";
  if (parent->text == kMaterialsGroup) return "materials";
  if (parent->parent != nullptr && parent->parent->text == kMaterialsGroup) return "images";
  return {};
}

void MarkPresent(TreeItem& root, const std::string& name) {
  if (root.text == name) root.image = kImagePresent;
  for (auto& child : root.children) MarkPresent(*child, name);
}

bool CopyFromRawFolder(const RetrievalContext&, const std::string&, const std::string&) {
  return false;
}

bool ExtractFromArchives(const RetrievalContext&, const std::string&, const std::string&) {
  return false;
}

bool ConvertToDds(const RetrievalContext&, const std::string&, std::string&) { return false; }

}  // namespace tessary::ui
