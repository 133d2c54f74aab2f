#include "model/ModelV20.h"

#include "model/FileAccess.h"
#include "model/ModelVersions.h"
#include "platform/Path.h"

namespace tessary {

namespace {
constexpr uint32_t kVersion = 20;
}

std::vector<LodEntry>* CModelV20::LoadLods() {
  // The names are counted from the level table's start and read from the first name on,
  // behind the first slot's distance.
  const int64_t table = FindModelVersion(kVersion)->levelTableAt;
  if (!ReadLodTable(kVersion, table, table + 4)) return nullptr;
  LoadMaterials();
  return &lods;
}

void CModelV20::LoadMaterials() {
  if (!isOpen || version != kVersion) return;
  BinaryFile file = disk->Open(fullPath);
  if (!file.IsOpen()) return;

  int blockCount = 0;
  int64_t section = FindMaterialSection(file);
  if (section >= 0) {
    file.Seek(section);
    blockCount = lodCount;
  } else {
    // No "mtl_" anywhere: walk back from the end over the names to the count byte of the
    // first list.
    auto start = WalkBackToMaterialLists(file.Bytes(), presentLodCount);
    if (!start) return;  // the walk ends at the start of the file
    file.Seek(start->readPos);
    blockCount = start->found;
  }

  for (int block = 0; block < blockCount && block < lodCount; ++block)
    ReadMaterialList(file, lods[static_cast<size_t>(block)]);
}


void CModelV20::LoadParts(int /*lodIndex*/) { ReadPartsFile(kVersion); }

bool CModelV20::LoadSurfaces(int lodIndex, bool forPreview, LoadOptions /*options*/) {
  if (!OpenSurfacesFile(lodIndex, lodCount)) return false;
  surfacesFile->DecodeSurfacesV20();
  for (std::string& message : surfacesFile->TakeMessages()) messages.push_back(std::move(message));
  return FinishLoadingSurfaces(lodIndex, forPreview, true);
}

bool CModelV20::Draw() { return renderer ? renderer->Draw(DrawVariant::ListsV20) : false; }

}  // namespace tessary
