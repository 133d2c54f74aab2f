#include "model/ModelV14.h"

#include "model/FileAccess.h"
#include "model/ModelVersions.h"
#include "platform/Path.h"

namespace tessary {

namespace {

constexpr uint32_t kVersion = 14;

}  // namespace

std::vector<LodEntry>* CModelV14::LoadLods() {
  // The names are counted from the level table's start and read from the first name on,
  // behind the first slot's distance.
  const int64_t table = FindModelVersion(kVersion)->levelTableAt;
  if (!ReadLodTable(kVersion, table, table + 4)) return nullptr;
  LoadMaterials();
  return &lods;
}

void CModelV14::LoadMaterials() {
  if (!isOpen || version != kVersion) return;
  BinaryFile header = disk->Open(fullPath);
  if (!header.IsOpen()) return;
  auto start = WalkBackToMaterialLists(header.Bytes(), presentLodCount);
  if (!start || start->found < 1) return;
  header.Seek(start->readPos);
  // The names are the textures themselves: there is no colour image to look up.
  for (int list = 0; list < start->found && list < lodCount; ++list)
    ReadMaterialList(header, lods[static_cast<size_t>(list)], false);
}

void CModelV14::LoadParts(int /*lodIndex*/) {
  ReadPartsFile(kVersion, FindModelVersion(kVersion)->bytesAfterPartName, false);
}

bool CModelV14::LoadSurfaces(int lodIndex, bool forPreview, LoadOptions /*options*/) {
  if (!OpenSurfacesFile(lodIndex, FindModelVersion(kVersion)->loadableLevels)) return false;
  surfacesFile->DecodeSurfacesV14();
  return FinishLoadingSurfaces(lodIndex, forPreview, false);
}

bool CModelV14::Draw() { return renderer ? renderer->Draw(DrawVariant::Strips) : false; }

}  // namespace tessary
