// Decoding of a version 20 surfaces file: rigid surfaces (60-byte vertices bound to one
// bone), skinned surfaces (63-byte vertices each naming its bone) and skinned surfaces
// whose vertices carry extra bone influences of variable length.
#include <cstring>

#include "model/FileAccess.h"
#include "model/ModelFile.h"
#include "model/VertexRecord.h"

namespace tessary {

namespace {

constexpr size_t kRigidSize = 60;
constexpr size_t kSkinnedSize = 63;

// An extra influence after a weighted record: the bone's word, then the weight's 14 bytes in.
constexpr size_t kInfluenceSize = 16;
constexpr size_t kInfluenceWeightAt = 14;

}  // namespace

bool CSurfacesFile::DecodeSurfacesV20() {
  if (!isOpen || version != 20) return false;
  BinaryFile file = disk->Open(fullPath);
  if (!file.IsOpen()) return false;

  file.Seek(2);
  uint16_t count = file.ReadU16();
  file.Seek(5);
  FreeSurfaces();
  surfaceCount = count;
  surfaces.assign(count, Surface{});

  std::vector<uint8_t> block;
  for (size_t s = 0; s < count; ++s) {
    Surface& surface = surfaces[s];
    if (s > 0) file.Skip(1);
    uint16_t vertexCount = file.ReadU16();
    uint16_t triCount = file.ReadU16();
    uint16_t bone = file.ReadU16();
    surface.vertexCount = vertexCount;
    surface.vertices.assign(vertexCount, Vertex{});
    surface.placement = Placement::OnBone;

    if (bone != 0xFFFF) {
      block.assign(kRigidSize * vertexCount, 0);
      if (file.Read(block.data(), block.size()) / kRigidSize < vertexCount) return false;
      for (size_t i = 0; i < vertexCount; ++i) {
        FillVertex(surface.vertices[i], block.data() + i * kRigidSize, 16, 48);
        surface.vertices[i].bone = bone;
      }
    } else {
      uint16_t extraInfluences = file.ReadU16();
      if (extraInfluences == 0) {
        block.assign(kSkinnedSize * vertexCount, 0);
        if (file.Read(block.data(), block.size()) / kSkinnedSize < vertexCount) return false;
        for (size_t i = 0; i < vertexCount; ++i) {
          const uint8_t* record = block.data() + i * kSkinnedSize;
          FillVertex(surface.vertices[i], record, 16, 51);
          surface.vertices[i].bone = record[49];
        }
      } else {
        uint8_t record[kSkinnedSize];
        for (size_t i = 0; i < vertexCount; ++i) {
          std::memset(record, 0, sizeof record);
          file.Read(record, sizeof record);
          uint8_t b1 = record[48];
          if (b1 >= 4) {
            messages.push_back("VertexData.b1 >= 4\nUnsupported model type.");
            surface.unsupported = true;
            surface.unsupportedAlt = true;
            return false;
          }
          Vertex& v = surface.vertices[i];
          if (b1 > 0) {
            RecordInfluences(file, file.Tell() + 1, b1, kInfluenceSize, kInfluenceWeightAt, surface, v);
            file.Skip(kInfluenceSize * b1 + 1);
          }
          FillVertex(v, record, 16, 51);
          v.bone = record[49];
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
