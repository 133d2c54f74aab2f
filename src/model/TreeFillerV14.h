#pragma once
// The model tree of a version 14 model: as the later generations, but a material is its
// own texture file, so material items have no image items under them.
#include "model/TreeFiller.h"

namespace tessary {

class CTreeFillerV14 : public CTreeFiller {
 public:
  int FillModelTree(TreeItem& surfacesNode, TreeItem& partsNode,
                    const std::string& workingFolder, const std::string& modelName) override;
};

}  // namespace tessary
