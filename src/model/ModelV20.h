#pragma once
// The second game's model (header version 20).
#include <string>

#include "model/Model.h"

namespace tessary {

class CModelV20 : public CModel {
 public:
  std::vector<LodEntry>* LoadLods() override;
  void LoadParts(int lodIndex) override;
  bool LoadSurfaces(int lodIndex, bool forPreview) override;
  bool Draw() override;

  // The export writers (the obj folder beside `folder`). WriteMtl and WriteObj load the
  // level's surfaces themselves, or use them when they are already loaded.
  bool WriteMtl(int lodIndex) override;
  bool WriteObj(int lodIndex) override;
  bool WriteTagsListing(const std::string& headerName) override;

  // Reads the per-level material lists at the end of the header (run by LoadLods).
  void LoadMaterials();

 private:
  bool SurfacesForWriter(int lodIndex);
};


}  // namespace tessary
