// Decoding of a version 20 surfaces file: rigid surfaces (60-byte vertices bound to one
// bone), skinned surfaces (63-byte vertices each naming its bone) and skinned surfaces
// whose vertices carry extra bone influences of variable length.
#include <cstring>

#include "model/FileAccess.h"
#include "model/ModelFile.h"
#include "model/VertexRecord.h"
#include "platform/Notifier.h"

namespace tessary {

namespace {

constexpr size_t kRigidSize = 60;
constexpr size_t kSkinnedSize = 63;

// Bone 0 is the root, and bones outside the part list add nothing.
void AddBoneOffset(Vertex& v, unsigned bone, const PartList& parts) {
  if (bone == 0 || bone >= parts.count()) return;
  const Part& part = parts.parts[bone];
  for (int k = 0; k < 3; ++k) v.position[k] += part.position[k];
}

}  // namespace

bool CSurfacesFile::DecodeSurfacesV20(const PartList& modelParts) {
  if (!isOpen || version != 20) return false;
  BinaryFile file(fullPath);
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

    if (bone != 0xFFFF) {
      block.assign(kRigidSize * vertexCount, 0);
      if (file.Read(block.data(), block.size()) / kRigidSize < vertexCount) return false;
      for (size_t i = 0; i < vertexCount; ++i) {
        FillVertex(surface.vertices[i], block.data() + i * kRigidSize, 16, 48);
        AddBoneOffset(surface.vertices[i], bone, modelParts);
      }
    } else {
      uint16_t extraInfluences = file.ReadU16();
      if (extraInfluences == 0) {
        block.assign(kSkinnedSize * vertexCount, 0);
        if (file.Read(block.data(), block.size()) / kSkinnedSize < vertexCount) return false;
        for (size_t i = 0; i < vertexCount; ++i) {
          const uint8_t* record = block.data() + i * kSkinnedSize;
          FillVertex(surface.vertices[i], record, 16, 51);
          AddBoneOffset(surface.vertices[i], record[49], modelParts);
        }
      } else {
        uint8_t record[kSkinnedSize];
        for (size_t i = 0; i < vertexCount; ++i) {
          std::memset(record, 0, sizeof record);
          file.Read(record, sizeof record);
          uint8_t b1 = record[48];
          if (b1 >= 4) {
            Notifier().ShowMessage("VertexData.b1 >= 4\nUnsupported model type.");
            surface.unsupported = true;
            surface.unsupportedAlt = true;
            return false;
          }
          if (b1 > 0) file.Skip(16 * b1 + 1);
          FillVertex(surface.vertices[i], record, 16, 51);
          AddBoneOffset(surface.vertices[i], record[49], modelParts);
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
