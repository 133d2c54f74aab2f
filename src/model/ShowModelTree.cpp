#include "model/ShowModelTree.h"

#include "model/ModelVersions.h"
#include "model/TreeFiller.h"
#include "platform/Disk.h"

namespace tessary {

std::optional<uint8_t> ReadModelVersion(Disk& disk, const std::string& path) {
  BinaryFile file = disk.Open(path);
  if (!file.IsOpen()) return std::nullopt;
  uint8_t b = 0;
  file.ReadByte(b);
  return b;
}

std::unique_ptr<CModel> CreateModel(uint8_t version) {
  const ModelVersion* row = FindModelVersion(version);
  return row ? row->create() : nullptr;
}

std::string ShowModelTree(Disk& disk, ModelTree& tree, const std::string& workingFolder,
                          const std::string& modelName, uint8_t version,
                          std::vector<std::string>& messages) {
  TreeItem& root = tree.SetRoot(modelName, kImageGroup);
  TreeItem& surfaces = root.AddChild(kSurfacesGroup, kImageGroup);
  TreeItem& parts = root.AddChild(kPartsGroup, kImageGroup);
  const ModelVersion* row = FindModelVersion(version);
  if (row) FillModelTree(disk, *row, surfaces, parts, workingFolder, modelName, messages);
  if (!surfaces.children.empty() || !parts.children.empty()) return {};

  const std::string header = workingFolder + "\\xmodel\\" + modelName;
  const std::string shown = "the model header " + disk.Resolve(header).string();
  BinaryFile file = disk.Open(header);
  if (!file.IsOpen()) return shown + " cannot be read";
  if (file.Size() == 0) return shown + " is empty";
  if (!row) {
    std::string known;
    for (const ModelVersion& v : ModelVersions())
      known += (known.empty() ? "" : ", ") + std::to_string(v.number);
    return shown + " is of version " + std::to_string(version) +
           ", which is not one of the versions read here (" + known + ")";
  }
  return shown + " names no level of detail";
}

}  // namespace tessary
