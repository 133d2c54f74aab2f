#include "model/ShowModelTree.h"

#include "model/ModelV14.h"
#include "model/ModelV20.h"
#include "model/ModelV25.h"
#include "model/TreeFiller.h"
#include "model/TreeFillerV14.h"
#include "platform/BinaryFile.h"

namespace tessary {

std::optional<uint8_t> ReadModelVersion(const std::string& path) {
  BinaryFile file(path);
  if (!file.IsOpen()) return std::nullopt;
  uint8_t b = 0;
  file.ReadByte(b);
  return b;
}

namespace {
std::unique_ptr<CTreeFiller> CreateTreeFiller(uint8_t version) {
  switch (version) {
    case 14: return std::make_unique<CTreeFillerV14>();
    case 20: return std::make_unique<CTreeFillerV20>();
    case 25: return std::make_unique<CTreeFillerV25>();
    default: return nullptr;
  }
}
}  // namespace

std::unique_ptr<CModel> CreateModel(uint8_t version) {
  switch (version) {
    case 14: return std::make_unique<CModelV14>();
    case 20: return std::make_unique<CModelV20>();
    case 25: return std::make_unique<CModelV25>();
    default: return nullptr;
  }
}

void ShowModelTree(ModelTree& tree, const std::string& workingFolder,
                   const std::string& modelName, uint8_t version) {
  TreeItem& root = tree.SetRoot(modelName, kImageGroup);
  TreeItem& surfaces = root.AddChild(kSurfacesGroup, kImageGroup);
  TreeItem& parts = root.AddChild(kPartsGroup, kImageGroup);
  if (auto filler = CreateTreeFiller(version))
    filler->FillModelTree(surfaces, parts, workingFolder, modelName);
}

}  // namespace tessary
