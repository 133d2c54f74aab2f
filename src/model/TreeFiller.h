#pragma once
// The tree fillers: one per model generation, each filling the "Surfaces" and
// "Parts (Tags)" groups of the model tree for a model header in the working folder.
#include <string>

#include "model/ModelTree.h"

namespace tessary {

class CTreeFiller {
 public:
  virtual ~CTreeFiller() = default;
  // Returns 1 when every listed surfaces file is present, else 0 (also when the header
  // gives no levels, in which case nothing is inserted).
  virtual int FillModelTree(TreeItem& surfacesNode, TreeItem& partsNode,
                            const std::string& workingFolder, const std::string& modelName) = 0;
};

class CTreeFillerV20 : public CTreeFiller {
 public:
  int FillModelTree(TreeItem& surfacesNode, TreeItem& partsNode,
                    const std::string& workingFolder, const std::string& modelName) override;
};

class CTreeFillerV25 : public CTreeFiller {
 public:
  int FillModelTree(TreeItem& surfacesNode, TreeItem& partsNode,
                    const std::string& workingFolder, const std::string& modelName) override;
};

class CModel;

// The part of the fill that versions 20 and 25 share: parts item, one bold item per
// present level with its distinct materials and their images. `model` has its levels loaded.
int FillTreeFromLods(CModel& model, TreeItem& surfacesNode, TreeItem& partsNode,
                     const std::string& workingFolder, bool withImages);

}  // namespace tessary
