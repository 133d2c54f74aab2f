#pragma once
// The second game's model (header version 20).
#include <string>

#include "model/Model.h"

namespace tessary {

class CModelV20 : public CModel {
 public:
  std::vector<LodEntry>* LoadLods() override;
  void LoadParts(int lodIndex) override;
  bool LoadSurfaces(int lodIndex, bool forPreview, LoadOptions options = {}) override;
  bool Draw() override;

  // Reads the per-level material lists at the end of the header (run by LoadLods).
  void LoadMaterials();
};


}  // namespace tessary
