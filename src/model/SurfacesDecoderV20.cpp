// Decoding of a version 20 surfaces file: rigid surfaces (60-byte vertices bound to one
// bone), skinned surfaces (63-byte vertices each naming its bone) and skinned surfaces
// whose vertices carry extra bone influences of variable length.
#include <cstring>

#include "model/FileAccess.h"
#include "model/ModelFile.h"
#include "model/ModelVersions.h"
#include "model/VertexRecord.h"

namespace tessary {

namespace {
constexpr uint32_t kVersion = 20;
}

bool CSurfacesFile::DecodeSurfacesV20() {
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
  for (size_t s = 0; s < count; ++s) {
    Surface& surface = surfaces[s];
    if (s > 0) file.Skip(gap);
    uint16_t vertexCount = file.ReadU16();
    uint16_t triCount = file.ReadU16();
    uint16_t bone = file.ReadU16();
    surface.vertexCount = vertexCount;
    surface.vertices.assign(vertexCount, Vertex{});
    surface.placement = Placement::OnBone;

    if (bone != 0xFFFF) {
      block.assign(kRigidVertex.size * vertexCount, 0);
      if (file.Read(block.data(), block.size()) / kRigidVertex.size < vertexCount) return false;
      for (size_t i = 0; i < vertexCount; ++i) {
        FillVertex(surface.vertices[i], block.data() + i * kRigidVertex.size, kRigidVertex);
        surface.vertices[i].bone = bone;
      }
    } else {
      uint16_t extraInfluences = file.ReadU16();
      if (extraInfluences == 0) {
        block.assign(kWeightedVertex.size * vertexCount, 0);
        if (file.Read(block.data(), block.size()) / kWeightedVertex.size < vertexCount) return false;
        for (size_t i = 0; i < vertexCount; ++i) {
          const uint8_t* record = block.data() + i * kWeightedVertex.size;
          FillVertex(surface.vertices[i], record, kWeightedVertex);
          surface.vertices[i].bone = record[kWeightedBoneAt];
        }
      } else {
        uint8_t record[kWeightedVertex.size];
        for (size_t i = 0; i < vertexCount; ++i) {
          std::memset(record, 0, sizeof record);
          file.Read(record, sizeof record);
          uint8_t b1 = record[kInfluenceCountAt];
          if (b1 >= 4) {
            messages.push_back("VertexData.b1 >= 4\nUnsupported model type.");
            surface.unsupported = true;
            surface.unsupportedAlt = true;
            return false;
          }
          Vertex& v = surface.vertices[i];
          if (b1 > 0) {
            const auto pad = static_cast<int64_t>(kInfluencesV20.padBefore);
            RecordInfluences(file, file.Tell() + pad, b1, kInfluencesV20, surface, v);
            file.Skip(static_cast<int64_t>(kInfluencesV20.size * b1) + pad);
          }
          FillVertex(v, record, kWeightedVertex);
          v.bone = record[kWeightedBoneAt];
        }
      }
    }

    TriList list;
    list.triCount = triCount;
    ReadIndices(file, list.indices, static_cast<size_t>(triCount) * 3);
    surface.triLists.push_back(std::move(list));
    surface.triListCount = 1;
    surface.facesLoaded = true;
    surface.textureLoaded = false;
  }
  return true;
}

}  // namespace tessary
