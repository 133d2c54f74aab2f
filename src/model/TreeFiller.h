#pragma once
// The model tree's surfaces and parts groups, filled from a model's level table: each
// present level with its materials (and, where the version lists them, their colour
// images), and the parts file named after level 0.
#include <string>
#include <vector>

#include "model/ModelTree.h"
#include "model/ModelVersions.h"

namespace tessary {

class CModel;
class Disk;

// Reads the level table of `modelName` with the reader of `version` and fills the groups;
// what the reading found wrong is added to `messages`. Returns 1 when every listed
// surfaces file is present, else 0 (also when the header gives no levels, in which case
// nothing is inserted).
int FillModelTree(Disk& disk, const ModelVersion& version, TreeItem& surfacesNode, TreeItem& partsNode,
                  const std::string& workingFolder, const std::string& modelName,
                  std::vector<std::string>& messages);

// The groups from a model whose levels are read.
int FillTreeFromLods(Disk& disk, CModel& model, TreeItem& surfacesNode, TreeItem& partsNode,
                     const std::string& workingFolder, bool withImages);

}  // namespace tessary
