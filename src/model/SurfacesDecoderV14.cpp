// Decoding of a version 14 surfaces file: each surface a set of triangle strips followed
// by its vertices (eight floats each, in the order of the Vertex record), bound as a whole
// to one part, relative to it.
#include <cstring>

#include "model/ModelFile.h"
#include "model/ModelVersions.h"
#include "model/VertexRecord.h"

namespace tessary {

namespace {
constexpr uint32_t kVersion = 14;
constexpr uint16_t kUnreadableSurface = 0xFFFF;
}  // namespace

bool CSurfacesFile::DecodeSurfacesV14() {
  if (!isOpen || version != kVersion) return false;
  BinaryFile file = disk->Open(fullPath);
  if (!file.IsOpen()) return false;

  BinaryFile& data = file;
  data.Seek(2);
  uint16_t count = data.ReadU16();
  const int64_t gap = FindModelVersion(kVersion)->bytesBeforeSurface;
  data.Seek(kSurfacesHeadSize + gap);
  FreeSurfaces();
  surfaceCount = count;
  surfaces.assign(count, Surface{});

  std::vector<uint8_t> block;
  for (Surface& surface : surfaces) {
    uint16_t vertexCount = data.ReadU16();
    data.ReadU16();  // not used
    uint16_t stripCount = data.ReadU16();
    uint16_t part = data.ReadU16();
    if (part == kUnreadableSurface) {
      // Decoding stops here: this surface and the ones after it stay empty.
      surface.unsupported = true;
      surface.unsupportedAlt = true;
      return false;
    }
    surface.vertexCount = vertexCount;
    surface.triListCount = stripCount;
    surface.textureLoaded = false;
    surface.vertices.assign(vertexCount, Vertex{});
    surface.triLists.assign(stripCount, TriList{});
    for (TriList& strip : surface.triLists) {
      strip.triCount = data.ReadU8();
      strip.indices.resize(strip.triCount);
      for (uint16_t& index : strip.indices) index = data.ReadU16();
    }

    // Vertices that are not in the file stay zero.
    block.assign(kStripVertex.size * vertexCount, 0);
    data.Read(block.data(), block.size());
    for (size_t i = 0; i < vertexCount; ++i) {
      const uint8_t* record = block.data() + i * kStripVertex.size;
      Vertex& v = surface.vertices[i];
      FillVertex(v, record, kStripVertex);
      v.bone = part;
    }
    surface.placement = Placement::OnBone;
    surface.facesLoaded = true;
    data.Skip(gap);
  }
  return true;
}

}  // namespace tessary
