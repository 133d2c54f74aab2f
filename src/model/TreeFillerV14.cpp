#include "model/TreeFillerV14.h"

#include "model/ModelV14.h"

namespace tessary {

int CTreeFillerV14::FillModelTree(TreeItem& surfacesNode, TreeItem& partsNode,
                                  const std::string& workingFolder, const std::string& modelName) {
  CModelV14 model;
  model.Open(workingFolder + "\\xmodel", modelName);
  if (!model.LoadLods()) return 0;
  return FillTreeFromLods(model, surfacesNode, partsNode, workingFolder, false);
}

}  // namespace tessary
