// Decoding of a version 25 surfaces file. Each surface's vertices come in one of three
// layouts: rigid 60-byte records (the surface's vertex count repeated in its third word),
// weighted records right after the surface head, or weighted records behind a table of
// unknown length that is found by looking for the first vertex's tell-tale bytes.
#include <cstring>

#include "model/FileAccess.h"
#include "model/Model.h"
#include "model/ModelFile.h"
#include "model/VertexRecord.h"

namespace tessary {

namespace {

constexpr uint32_t kVersion = 25;
constexpr int64_t kFirstSurface = 7;
constexpr size_t kRigidSize = 60;
constexpr size_t kWeightedSize = 63;
// An extra influence after a weighted record: the bone's word, then the weight's.
constexpr size_t kInfluenceSize = 4;
constexpr size_t kInfluenceWeightAt = 2;
// The window searched for the start of a weighted block, beginning one byte before the
// end of the surface head.
constexpr size_t kScanWindow = 144;

// Where the weighted block starts, searched in the window after the surface head; the
// file is left at `afterHead`. Nullopt when the window holds neither mark.
std::optional<int64_t> FindWeightedBlock(BinaryFile& file, int64_t afterHead) {
  uint8_t window[kScanWindow] = {};
  int64_t windowStart = afterHead - 1;
  file.Seek(windowStart);
  int64_t got = static_cast<int64_t>(file.Read(window, sizeof window));
  file.Seek(afterHead);
  int64_t n = got - 4;
  // The first vertex's four FF bytes sit 12 bytes into its record.
  for (int64_t i = 0; i < n; ++i)
    if (window[i] == 0xFF && window[i + 1] == 0xFF && window[i + 2] == 0xFF && window[i + 3] == 0xFF)
      return windowStart + i - 12;
  for (int64_t i = 0; i < n; ++i)
    if (window[i] == 0 && window[i + 1] == 0 && window[i + 2] == 0) return windowStart + i + 5;
  return std::nullopt;
}

// Reads `surface.vertexCount` weighted records from the current position; on a record it
// cannot read, the message why goes to `messages`.
bool ReadWeightedVertices(BinaryFile& file, Surface& surface, std::vector<std::string>& messages) {
  uint8_t record[kWeightedSize];
  for (auto& vertex : surface.vertices) {
    std::memset(record, 0, sizeof record);
    file.Read(record, sizeof record);
    uint8_t b1 = record[48];
    if (b1 >= 4) {
      messages.push_back("VertexData.b1 >= 4\nUnsupported model type.");
      surface.unsupported = true;
      surface.unsupportedAlt = true;
      return false;
    }
    RecordInfluences(file, file.Tell(), b1, kInfluenceSize, kInfluenceWeightAt, surface, vertex);
    file.Skip(kInfluenceSize * b1);
    FillVertex(vertex, record, 16, 51);
    vertex.bone = record[49];
  }
  return true;
}

}  // namespace

bool CSurfacesFile::DecodeSurfacesV25() {
  if (!isOpen || version != kVersion) return false;
  BinaryFile file = disk->Open(fullPath);
  if (!file.IsOpen()) return false;

  file.Seek(2);
  uint16_t count = file.ReadU16();
  file.Seek(kFirstSurface);
  FreeSurfaces();
  surfaceCount = count;
  surfaces.assign(count, Surface{});

  std::vector<uint8_t> block;
  for (Surface& surface : surfaces) {
    uint16_t vertexCount = file.ReadU16();
    uint16_t triCount = file.ReadU16();
    uint16_t word3 = file.ReadU16();
    uint16_t word4 = file.ReadU16();
    surface.vertexCount = vertexCount;
    surface.vertices.assign(vertexCount, Vertex{});

    if (vertexCount == word3) {
      file.Skip(2);
      block.assign(kRigidSize * vertexCount, 0);
      if (file.Read(block.data(), block.size()) / kRigidSize < vertexCount) return false;
      // Destructible models keep their pieces at the origin of the part that carries
      // them, the one the third word names.
      surface.placement = Placement::OnPartWhenExploded;
      for (size_t i = 0; i < vertexCount; ++i) {
        FillVertex(surface.vertices[i], block.data() + i * kRigidSize, 16, 48);
        surface.vertices[i].bone = word3;
      }
    } else {
      bool direct = word3 == 0 && (word4 >> 8) <= 3;
      if (!direct) {
        auto at = FindWeightedBlock(file, file.Tell());
        if (!at) {
          messages.push_back("Can't decode this surface!!");
          surface.unsupported = true;
          return false;
        }
        file.Seek(*at);
      }
      if (!ReadWeightedVertices(file, surface, messages)) return false;
    }

    TriList list;
    list.triCount = triCount;
    size_t wanted = static_cast<size_t>(triCount) * 3;
    if (ReadIndices(file, list.indices, wanted) < wanted) return false;
    surface.triLists.push_back(std::move(list));
    surface.triListCount = 1;
    surface.facesLoaded = true;
    surface.textureLoaded = false;
    file.Skip(3);
  }
  return true;
}

}  // namespace tessary
