#include "model/TreeFiller.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "model/Model.h"
#include "platform/Disk.h"
#include "platform/PlainName.h"

namespace tessary {

namespace {
// A file of a working sub-folder; a name with a folder step names none (it is missing).
int PresenceImage(Disk& disk, const std::string& workingFolder, const char* folder, const std::string& name) {
  if (!IsPlainName(name)) return kImageMissing;
  return disk.Exists(workingFolder + "\\" + folder + "\\" + name) ? kImagePresent : kImageMissing;
}
}  // namespace

int FillTreeFromLods(Disk& disk, CModel& model, TreeItem& surfacesNode, TreeItem& partsNode,
                     const std::string& workingFolder, bool withImages) {
  // A header with an empty level list has no parts file to name.
  if (!model.lods.empty()) {
    const std::string& partsName = model.lods[0].surfsName;
    partsNode.AddChild(partsName, PresenceImage(disk, workingFolder, "xmodelparts", partsName));
  }
  int result = 1;
  for (size_t i = 0; i < model.lods.size(); ++i) {
    const LodEntry& lod = model.lods[i];
    if (!lod.present) continue;
    int image = PresenceImage(disk, workingFolder, "xmodelsurfs", lod.surfsName);
    if (image == kImageMissing) result = 0;
    TreeItem& level = surfacesNode.AddChild(lod.surfsName, image);
    level.bold = true;
    level.data = static_cast<int>(i);
    TreeItem& materialsNode = level.AddChild(kMaterialsGroup, kImageGroup);

    std::vector<const MaterialEntry*> distinct;
    for (const auto& m : lod.materials) {
      bool seen = std::any_of(distinct.begin(), distinct.end(),
                              [&](const MaterialEntry* d) { return d->name == m.name; });
      if (!seen) distinct.push_back(&m);
    }
    for (const MaterialEntry* m : distinct) {
      int materialImage = PresenceImage(disk, workingFolder, "materials", m->name);
      TreeItem& materialNode = materialsNode.AddChild(m->name, materialImage);
      if (!withImages || materialImage != kImagePresent) continue;
      std::string imageName = m->imageName.value_or("");
      int imageImage = PresenceImage(disk, workingFolder, "images", imageName);
      TreeItem& imageNode = materialNode.AddChild(imageName, imageImage);
      imageNode.bold = imageName.find(".iwi") != std::string::npos && imageImage == kImagePresent;
    }
  }
  return result;
}

int FillModelTree(Disk& disk, const ModelVersion& version, TreeItem& surfacesNode, TreeItem& partsNode,
                  const std::string& workingFolder, const std::string& modelName,
                  std::vector<std::string>& messages) {
  std::unique_ptr<CModel> model = version.create();
  model->Open(disk, workingFolder + "\\xmodel", modelName);
  const bool read = model->LoadLods() != nullptr;
  for (std::string& message : model->TakeMessages()) messages.push_back(std::move(message));
  if (!read) return 0;
  return FillTreeFromLods(disk, *model, surfacesNode, partsNode, workingFolder, version.treeShowsImages);
}

}  // namespace tessary
