#include "model/Model.h"

#include "model/DescribedGeometry.h"
#include "model/FileAccess.h"
#include "platform/Disk.h"
#include "platform/Path.h"
#include "platform/PlainName.h"

namespace tessary {

std::optional<int> DefaultLevel(const std::vector<LodEntry>& lods) {
  for (size_t i = 0; i < lods.size(); ++i)
    if (lods[i].present) return static_cast<int>(i);
  return std::nullopt;
}

CModel::~CModel() {
  // The renderer goes first: it still looks at the surfaces while it shuts down.
  renderer.reset();
}

namespace {

// The three rotation words after a part's position, read without moving the file;
// words past the end read as zeros.
void RecordRotation(const BinaryFile& file, Part& part) {
  const auto& bytes = file.Bytes();
  for (size_t k = 0; k < 3; ++k) {
    const uint64_t at = static_cast<uint64_t>(file.Tell()) + 2 * k;
    if (at + 1 >= bytes.size()) break;
    part.rotation[k] = static_cast<int16_t>(bytes[at] | bytes[at + 1] << 8);
  }
}

}  // namespace

bool CModel::AttachWindow(void* window) { return renderer ? renderer->Attach(window) : false; }
void CModel::SetRolling(uint8_t flag) { if (renderer) renderer->SetRolling(flag); }
void CModel::RotateX(float d) { if (renderer) renderer->RotateX(d); }
void CModel::RotateY(float d) { if (renderer) renderer->RotateY(d); }
void CModel::RotateZ(float d) { if (renderer) renderer->RotateZ(d); }
void CModel::MoveX(float d) { if (renderer) renderer->MoveX(d); }
void CModel::MoveY(float d) { if (renderer) renderer->MoveY(d); }
void CModel::MoveZ(float d) { if (renderer) renderer->MoveZ(d); }

int CModel::CountLodNames(BinaryFile& file, int64_t offset) {
  return tessary::CountLodNames(file, offset);
}

bool CModel::HoldsSurfacesOf(int lodIndex) const {
  if (!surfacesFile || !curSurfaces || curSurfaceCount == 0 || curSurfaces->empty()) return false;
  const Surface& first = curSurfaces->front();
  return first.lodIndex == lodIndex && !first.unsupported && !first.unsupportedAlt;
}

void CModel::ReleaseSurfacesFile() {
  if (renderer) renderer->SetSurfaces(nullptr, 0, nullptr);
  shownSurfaces.clear();
  surfacesFile.reset();
  curSurfaces = nullptr;
  curSurfaceCount = 0;
}

void CModel::AdoptSurfaces(int lodIndex) {
  curSurfaces = surfacesFile->TakeSurfaces(curSurfaceCount);
  for (auto& s : *curSurfaces) s.lodIndex = lodIndex;
}

bool CModel::OpenSurfacesFile(int lodIndex, int levelLimit) {
  ReleaseSurfacesFile();
  if (lodIndex < 0 || lodIndex >= levelLimit || lodIndex >= lodCount) return false;
  auto holder = std::make_unique<CSurfacesFile>();
  if (!holder->Open(*disk, folder + "\\..\\xmodelsurfs", lods[static_cast<size_t>(lodIndex)].surfsName))
    return false;
  surfacesFile = std::move(holder);
  return true;
}

bool CModel::FinishLoadingSurfaces(int lodIndex, bool forPreview, bool checkFirst, LoadOptions options) {
  AdoptSurfaces(lodIndex);
  if (curSurfaceCount == 0) return false;
  const Surface& first = (*curSurfaces)[0];
  if (checkFirst && (first.unsupported || first.unsupportedAlt)) return false;
  if (forPreview) HandSurfacesToRenderer(options);
  return true;
}

void CModel::HandSurfacesToRenderer(LoadOptions options) {
  if (!renderer) return;
  renderer->SetImageFolder(*disk, folder + "\\..\\images");
  shownSurfaces = DescribedSurfaces(*curSurfaces, parts, options);
  renderer->SetSurfaces(&shownSurfaces, curSurfaceCount, &lods);
}

void CModel::UseRootPartOnly() {
  parts.parts.assign(1, Part{});
}

void CModel::ReadLodNames(BinaryFile& file, int64_t firstName) {
  file.Seek(firstName);
  presentLodCount = 0;
  for (auto& lod : lods) {
    lod = LodEntry{};
    int64_t at = file.Tell();
    int length = MeasureString(file, at);
    if (length > 4) {
      lod.surfsName = ReadZString(file, length);
      lod.present = true;
      ++presentLodCount;
    } else if (length >= 1) {
      // A short name leaves its entry absent; skip the whole name so that the rest of
      // the list is read from the right place.
      file.Seek(at + length);
    }
    file.Skip(1);       // the name's terminator
    file.ReadU32();     // the value ahead of the next name
  }
}

std::string ImageForMaterial(Disk& disk, const std::string& materialPath) {
  BinaryFile file = disk.Open(materialPath);
  if (!file.IsOpen()) return {};
  uint16_t offset = file.ReadU16();
  file.Seek(offset);
  std::string first = ReadZString(file, 255);
  file.Seek(static_cast<int64_t>(offset) + static_cast<int64_t>(first.size()) + 1);
  std::string image = ReadZString(file, 255);
  file.Close();
  auto slash = materialPath.rfind('\\');
  bool dds = false;
  if (slash != std::string::npos && IsPlainName(image))
    dds = disk.Exists(materialPath.substr(0, slash + 1) + "..\\images\\" + image + ".dds");
  return image + (dds ? ".dds" : ".iwi");
}

bool CModel::OpenPartsFile(uint32_t partsVersion, BinaryFile& file, uint8_t (&head)[6]) {
  parts.parts.clear();
  if (lods.empty()) {
    UseRootPartOnly();
    return false;
  }
  std::string path = folder + "\\..\\xmodelparts\\" + lods[0].surfsName;
  // A file that opens exists: no separate test is needed.
  if (!IsPlainName(lods[0].surfsName) || !(file = disk->Open(path)).IsOpen() || file.Read(head, 6) != 6 ||
      (head[0] | (head[1] << 8)) != static_cast<int>(partsVersion)) {
    UseRootPartOnly();
    return false;
  }
  return true;
}

void CModel::ReadMaterialList(BinaryFile& file, LodEntry& lod, bool lookUpImages) {
  lod.materialCount = file.ReadU8();
  lod.materials.assign(static_cast<size_t>(lod.materialCount), MaterialEntry{});
  file.Skip(1);
  for (int i = 0; i < lod.materialCount; ++i) {
    MaterialEntry& m = lod.materials[static_cast<size_t>(i)];
    int length = MeasureString(file, file.Tell());
    m.index = i;
    m.lodMaterialCount = lod.materialCount;
    m.name = ReadZString(file, length);
    file.Skip(1);
    // Only a plain name names a file of the materials folder.
    if (!lookUpImages || !IsPlainName(m.name)) continue;
    std::string image = ImageForMaterial(*disk, folder + "\\..\\materials\\" + m.name);
    if (!image.empty()) m.imageName = image;
  }
}

bool CModel::ResetLods(uint32_t expectedVersion) {
  lods.clear();
  lodCount = 0;
  presentLodCount = 0;
  return isOpen && version == expectedVersion;
}

std::vector<LodEntry>* CModel::ReadLodTable(uint32_t expectedVersion, int64_t countAt,
                                            int64_t firstName) {
  if (!ResetLods(expectedVersion)) return nullptr;
  BinaryFile file = disk->Open(fullPath);
  if (!file.IsOpen()) return nullptr;
  lodCount = CountLodNames(file, countAt);
  lods.assign(static_cast<size_t>(lodCount), LodEntry{});
  ReadLodNames(file, firstName);
  return &lods;
}

void CModel::ReadPartsFile(uint32_t partsVersion, int64_t bytesAfterName, bool emptyNameIsOrigin) {
  BinaryFile file;
  uint8_t head[6] = {0, 0, 0, 0, 0, 0};
  if (!OpenPartsFile(partsVersion, file, head)) return;
  int childCount = head[2] | (head[3] << 8);
  // A list holds at most 65,535 parts: its count is 16 bits wide.
  if (childCount > 65534) childCount = 65534;
  parts.parts.assign(static_cast<size_t>(childCount) + 1, Part{});
  for (int i = 1; i <= childCount; ++i) {
    Part& p = parts.parts[static_cast<size_t>(i)];
    p.parent = file.ReadU8();
    for (float& c : p.position) c = file.ReadF32();
    RecordRotation(file, p);
    file.Skip(6);
  }
  for (auto& p : parts.parts) {
    std::string name = ReadZString(file);
    p.name = name.empty() && emptyNameIsOrigin ? "tag_origin" : name;
    file.Skip(bytesAfterName);
  }
  file.Close();
  // A parent index outside the list stands for the root.
  for (auto& part : parts.parts)
    if (part.parent >= parts.parts.size()) part.parent = 0;
}

}  // namespace tessary
