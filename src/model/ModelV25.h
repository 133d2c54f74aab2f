#pragma once
// The fourth game's model (header version 25).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/Model.h"
#include "platform/OutputFile.h"

namespace tessary {

class CModelV25 : public CModel {
 public:
  std::vector<LodEntry>* LoadLods() override;
  void LoadParts(int lodIndex) override;
  bool LoadSurfaces(int lodIndex, bool forPreview, LoadOptions options = {}) override;
  bool Draw() override;



  // Counts the level entries. `offset` comes in as 28 and goes out as the start of the
  // list: past the optional name at 27 when the header has one.
  int CountLodEntries(BinaryFile& file, int64_t& offset);

  // Reads every level's material list from the place the name scan finds after `start`.
  void LoadMaterials(int64_t start);

  // Scans from the file's current position to its end for the first material name; the
  // result is the offset of the material lists relative to that position, or nullopt.
  static std::optional<int64_t> FindMaterialSection(BinaryFile& file);
};

// The name scan over a region held in memory. `nulBefore` tells whether the byte ahead of
// the region is zero (a name at the region's first byte counts as starting a string).
// Returns the match position minus 2, or nullopt when no name looks like a material's.
std::optional<int64_t> ScanForMaterialNames(std::string_view region, bool nulBefore);

// The longest stretch of a header the material scan holds in memory; a header is a few
// hundred kilobytes at most, so only a damaged file reaches it.
inline constexpr int64_t kMaterialScanLimit = 64 * 1024 * 1024;

}  // namespace tessary
