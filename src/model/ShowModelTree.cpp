#include "model/ShowModelTree.h"

#include "model/ModelVersions.h"
#include "model/TreeFiller.h"
#include "platform/BinaryFile.h"

namespace tessary {

std::optional<uint8_t> ReadModelVersion(const std::string& path) {
  BinaryFile file(path);
  if (!file.IsOpen()) return std::nullopt;
  uint8_t b = 0;
  file.ReadByte(b);
  return b;
}

std::unique_ptr<CModel> CreateModel(uint8_t version) {
  const ModelVersion* row = FindModelVersion(version);
  return row ? row->create() : nullptr;
}

void ShowModelTree(ModelTree& tree, const std::string& workingFolder,
                   const std::string& modelName, uint8_t version) {
  TreeItem& root = tree.SetRoot(modelName, kImageGroup);
  TreeItem& surfaces = root.AddChild(kSurfacesGroup, kImageGroup);
  TreeItem& parts = root.AddChild(kPartsGroup, kImageGroup);
  if (const ModelVersion* row = FindModelVersion(version))
    FillModelTree(*row, surfaces, parts, workingFolder, modelName);
}

}  // namespace tessary
