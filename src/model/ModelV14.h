#pragma once
// The first game's model (header version 14): a level list like the later generations,
// material lists found by walking back from the end of the header, a parts file with
// 24 bytes after every name, and surfaces stored as triangle strips. A material name here
// is the name of the texture file itself, which lies in the materials folder.
#include <string>

#include "model/Model.h"

namespace tessary {

class CModelV14 : public CModel {
 public:
  std::vector<LodEntry>* LoadLods() override;
  void LoadParts(int lodIndex) override;
  bool LoadSurfaces(int lodIndex, bool forPreview, LoadOptions options = {}) override;
  bool Draw() override;

  // Reads the per-level material lists at the end of the header (run by LoadLods).
  void LoadMaterials();
};

}  // namespace tessary
