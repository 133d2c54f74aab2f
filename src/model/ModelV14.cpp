#include "model/ModelV14.h"

#include <optional>

#include "model/ByteCursor.h"
#include "model/FileAccess.h"
#include "platform/Path.h"

namespace tessary {

namespace {

constexpr uint32_t kVersion = 14;
constexpr int64_t kLodListOffset = 26;
constexpr int64_t kFirstLodName = 30;
constexpr int64_t kBytesAfterPartName = 24;

struct MaterialListsStart {
  int64_t readPos = 0;
  int found = 0;
};

// Walks back from the last byte of the header over the zero-terminated names until
// `wanted` material lists are accounted for. A string of one byte standing between two
// zeros is a list's count byte; a string of 2 or 3 bytes is the first list's count byte
// run together with up to two bytes before it, and ends the walk. The walk measures
// strings the way a backward MeasureString does (a run of 1,024 or more bytes measures 0
// and moves one byte back); reaching the start of the file finds no lists at all.
//
// Measuring byte by byte with a file seek per byte would make a long run without zeros
// quadratic, so the walk works on the header's bytes in memory and steps over such a run
// in one go: every step inside it measures 0 and only moves back.
std::optional<MaterialListsStart> WalkBackToMaterialLists(const std::vector<uint8_t>& bytes,
                                                          int wanted) {
  if (bytes.empty()) return std::nullopt;
  const int64_t limit = kMeasureLimit;
  int64_t pos = static_cast<int64_t>(bytes.size()) - 1;
  int found = 0;
  while (found < wanted) {
    int64_t zero = -1;
    for (int64_t k = pos - 1; k >= 0 && k >= pos - limit; --k) {
      if (bytes[static_cast<size_t>(k)] == 0) {
        zero = k;
        break;
      }
    }
    int64_t length = 0;
    if (zero >= 0) {
      length = pos - zero - 1;
      pos = zero;
    } else if (pos < limit) {
      return std::nullopt;  // the start of the file, and not enough lists
    } else {
      // A run of 1,024 or more non-zero bytes: step back to where the run before the
      // position becomes shorter than the limit (or to the start of the file).
      int64_t previousZero = -1;
      for (int64_t k = pos - limit - 1; k >= 0; --k) {
        if (bytes[static_cast<size_t>(k)] == 0) {
          previousZero = k;
          break;
        }
      }
      pos = previousZero >= 0 ? previousZero + limit : limit - 1;
      continue;
    }
    if (length == 2 || length == 3) {
      return MaterialListsStart{pos + 3, found + 1};
    }
    if (length == 1) ++found;
  }
  return MaterialListsStart{pos + 1, found};
}

// A material name at the cursor as a forward string measurement takes it (a run of 1,024
// or more bytes without a zero gives an empty name), then the one byte of its terminator.
std::string MeasuredName(ByteCursor& cursor) {
  const auto& bytes = cursor.Bytes();
  size_t at = cursor.Tell();
  size_t length = 0;
  while (at + length < bytes.size() && bytes[at + length] != 0 && length < kMeasureLimit) ++length;
  if (length >= static_cast<size_t>(kMeasureLimit)) length = 0;
  std::string name(length, '\0');
  cursor.Read(name.data(), length);
  cursor.Skip(1);
  return name;
}

}  // namespace

std::vector<LodEntry>* CModelV14::LoadLods() {
  if (!ReadLodTable(kVersion, kLodListOffset, kFirstLodName)) return nullptr;
  LoadMaterials();
  return &lods;
}

void CModelV14::LoadMaterials() {
  if (!isOpen || version != kVersion) return;
  BinaryFile file(fullPath);
  if (!file.IsOpen()) return;
  ByteCursor header = ByteCursor::FromFile(file);
  file.Close();

  auto start = WalkBackToMaterialLists(header.Bytes(), presentLodCount);
  if (!start || start->found < 1) return;

  header.Seek(static_cast<size_t>(start->readPos));
  for (int list = 0; list < start->found && list < lodCount; ++list) {
    LodEntry& lod = lods[static_cast<size_t>(list)];
    lod.materialCount = header.U8();
    lod.materials.assign(static_cast<size_t>(lod.materialCount), MaterialEntry{});
    header.Skip(1);
    for (int j = 0; j < lod.materialCount; ++j) {
      MaterialEntry& m = lod.materials[static_cast<size_t>(j)];
      m.index = j;
      m.lodMaterialCount = lod.materialCount;
      m.name = MeasuredName(header);
    }
  }
}

void CModelV14::LoadParts(int /*lodIndex*/) {
  BinaryFile file;
  uint8_t head[6] = {0, 0, 0, 0, 0, 0};
  if (!OpenPartsFile(kVersion, file, head)) return;
  ByteCursor data = ByteCursor::FromFile(file);
  file.Close();
  data.Seek(6);
  int childCount = head[2] | (head[3] << 8);
  // A list holds at most 65,535 parts: its count is 16 bits wide.
  if (childCount > 65534) childCount = 65534;
  parts.parts.assign(static_cast<size_t>(childCount) + 1, Part{});
  for (int i = 1; i <= childCount; ++i) {
    Part& p = parts.parts[static_cast<size_t>(i)];
    p.parent = data.U8();
    for (float& c : p.position) c = data.F32();
    data.Skip(6);
  }
  for (auto& p : parts.parts) {
    p.name = data.ZString();
    data.Skip(kBytesAfterPartName);
  }
  AccumulatePartPositions();
}

bool CModelV14::LoadSurfaces(int lodIndex, bool forPreview) {
  if (!OpenSurfacesFile(lodIndex, kLoadableLevels)) return false;
  surfacesFile->DecodeSurfacesV14(&parts);
  return FinishLoadingSurfaces(lodIndex, forPreview, false);
}

bool CModelV14::Draw() { return renderer ? renderer->Draw(DrawVariant::Strips) : false; }

}  // namespace tessary
