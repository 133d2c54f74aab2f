#include "model/ModelV25.h"

#include "model/FileAccess.h"
#include "model/ModelV20.h"
#include "model/ModelVersions.h"
#include "platform/Path.h"

namespace tessary {

namespace {

constexpr uint32_t kVersion = 25;
// How much of the header start is looked at for the optional name.
constexpr size_t kHeaderProbeSize = 64;

bool IsLowercaseLetter(uint8_t b) { return b >= 'a' && b <= 'z'; }

}  // namespace

int CModelV25::CountLodEntries(BinaryFile& file, int64_t& offset) {
  // The optional name lies where the level table starts.
  const int64_t nameAt = FindModelVersion(kVersion)->levelTableAt;
  uint8_t head[kHeaderProbeSize] = {};
  file.Seek(0);
  size_t got = file.Read(head, sizeof head);
  bool lettered = false;
  for (int64_t i = nameAt; i <= nameAt + 4; ++i)
    lettered = lettered || IsLowercaseLetter(head[i]);
  if (lettered) {
    size_t length = 0;
    for (auto i = static_cast<size_t>(nameAt); i < got && head[i] != 0; ++i) ++length;
    if (length > 0) offset = static_cast<int64_t>(length) + nameAt + 1;
  }

  file.Seek(offset);
  int count = 0;
  for (;;) {
    uint8_t value[4] = {0, 0, 0, 0};
    if (file.Read(value, 4) != 4) return count;  // the end of the file: not counted
    ++count;
    size_t nameLength = 0;
    uint8_t b = 0;
    for (;;) {
      if (!file.ReadByte(b)) return count - 1;
      if (b == 0) break;
      ++nameLength;
    }
    if (nameLength < 2) return count - 1;
    if ((value[0] | value[1] | value[2] | value[3]) == 0) return count;
  }
}

std::vector<LodEntry>* CModelV25::LoadLods() {
  if (!ResetLods(kVersion)) return nullptr;
  BinaryFile file = disk->Open(fullPath);
  if (!file.IsOpen()) return nullptr;
  int64_t offset = FindModelVersion(kVersion)->levelTableAt + 1;
  lodCount = CountLodEntries(file, offset);
  lods.assign(static_cast<size_t>(lodCount), LodEntry{});
  ReadLodNames(file, offset + 4);
  int64_t scanStart = file.Tell() - 1;
  file.Close();
  LoadMaterials(scanStart);
  return &lods;
}

void CModelV25::LoadMaterials(int64_t start) {
  if (!isOpen || version != kVersion) return;
  BinaryFile file = disk->Open(fullPath);
  if (!file.IsOpen()) return;
  if (start < 0) start = 0;
  file.Seek(start);
  auto section = FindMaterialSection(file);
  if (!section) {
    messages.push_back("Failed to get the materials");
    return;
  }
  int64_t first = start + *section;
  file.Seek(first < 0 ? 0 : first);
  for (auto& lod : lods) ReadMaterialList(file, lod);
}

void CModelV25::LoadParts(int /*lodIndex*/) { ReadPartsFile(kVersion); }

bool CModelV25::LoadSurfaces(int lodIndex, bool forPreview, LoadOptions options) {
  if (!isOpen) return false;
  if (!OpenSurfacesFile(lodIndex, lodCount)) return false;
  surfacesFile->DecodeSurfacesV25();
  for (std::string& message : surfacesFile->TakeMessages()) messages.push_back(std::move(message));
  return FinishLoadingSurfaces(lodIndex, forPreview, true, options);
}

bool CModelV25::Draw() { return renderer ? renderer->Draw(DrawVariant::ListsV25) : false; }

}  // namespace tessary
