#include "model/ModelV25.h"
#include "model/TreeFiller.h"

namespace tessary {

int CTreeFillerV25::FillModelTree(TreeItem& surfacesNode, TreeItem& partsNode,
                                  const std::string& workingFolder, const std::string& modelName) {
  CModelV25 model;
  model.Open(workingFolder + "\\xmodel", modelName);
  if (!model.LoadLods()) return 0;
  return FillTreeFromLods(model, surfacesNode, partsNode, workingFolder, true);
}

}  // namespace tessary
