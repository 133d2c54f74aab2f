// Decoding of a version 25 surfaces file. Each surface's vertices come in one of three
// layouts: rigid 60-byte records (the surface's vertex count repeated in its third word),
// weighted records right after the surface head, or weighted records behind a table of
// unknown length that is found by looking for the first vertex's tell-tale bytes.
#include <cstring>

#include "model/FileAccess.h"
#include "model/Model.h"
#include "model/ModelFile.h"
#include "model/ModelVersions.h"
#include "model/VertexRecord.h"

namespace tessary {

namespace {

constexpr uint32_t kVersion = 25;
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
  uint8_t record[kWeightedVertex.size];
  for (auto& vertex : surface.vertices) {
    std::memset(record, 0, sizeof record);
    file.Read(record, sizeof record);
    uint8_t b1 = record[kInfluenceCountAt];
    if (b1 >= 4) {
      messages.push_back("VertexData.b1 >= 4\nUnsupported model type.");
      surface.unsupported = true;
      surface.unsupportedAlt = true;
      return false;
    }
    const auto pad = static_cast<int64_t>(kInfluencesV25.padBefore);
    RecordInfluences(file, file.Tell() + pad, b1, kInfluencesV25, surface, vertex);
    file.Skip(static_cast<int64_t>(kInfluencesV25.size * b1) + pad);
    FillVertex(vertex, record, kWeightedVertex);
    vertex.bone = record[kWeightedBoneAt];
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
  const int64_t gap = FindModelVersion(kVersion)->bytesBeforeSurface;
  file.Seek(kSurfacesHeadSize + gap);
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
      block.assign(kRigidVertex.size * vertexCount, 0);
      if (file.Read(block.data(), block.size()) / kRigidVertex.size < vertexCount) return false;
      // Destructible models keep their pieces at the origin of the part that carries
      // them, the one the third word names.
      surface.placement = Placement::OnPartWhenExploded;
      for (size_t i = 0; i < vertexCount; ++i) {
        FillVertex(surface.vertices[i], block.data() + i * kRigidVertex.size, kRigidVertex);
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
    file.Skip(gap);
  }
  return true;
}

}  // namespace tessary
