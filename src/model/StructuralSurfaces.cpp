#include "model/StructuralSurfaces.h"

#include <algorithm>

#include "model/CheckedReader.h"
#include "model/VertexRecord.h"

namespace tessary {

namespace {

constexpr uint16_t kWeighted = 0xFFFF;
constexpr float kWeightScale = 1.0f / kFullWeight;

bool Fail(std::string& why, size_t surface, const std::string& what) {
  why = "damaged surfaces file (surface " + std::to_string(surface) + " " + what + ")";
  return false;
}

DecodedVertex VertexFrom(const uint8_t* record, const VertexLayout& layout, uint16_t bone) {
  DecodedVertex v;
  FillVertex(v, record, layout);
  v.bone = bone;
  return v;
}

void ReadTriangles(CheckedReader& c, DecodedSurface& s, uint16_t count) {
  s.triangles.resize(size_t{count} * 3);
  for (uint32_t& index : s.triangles) index = c.U16();
}

// The extra influences of `v`, `count` of them at the reader's position.
bool ReadInfluences(CheckedReader& c, const InfluenceLayout& layout, uint8_t count, DecodedSurface& s,
                    DecodedVertex& v) {
  c.Skip(layout.padBefore);
  v.firstInfluence = static_cast<uint32_t>(s.influences.size());
  v.influenceCount = count;
  for (uint8_t k = 0; k < count; ++k) {
    const uint8_t* in = c.Take(layout.size);
    if (!in) return false;
    s.influences.push_back({U16At(in), U16At(in + layout.weightAt) * kWeightScale});
  }
  return true;
}

}  // namespace

bool ReadStructuralSurfaceV14(CheckedReader& c, DecodedSurface& s, size_t n, std::string& why) {
  const uint16_t vertexCount = c.U16();
  c.Skip(2);
  const uint16_t strips = c.U16();
  const uint16_t bone = c.U16();
  if (bone == kWeighted) {
    why = "surface " + std::to_string(n) + " has no bone (word 0xFFFF); this layout is not supported";
    return false;
  }
  for (uint16_t k = 0; k < strips && !c.Ended(); ++k) {
    const uint8_t length = c.U8();
    std::vector<uint32_t> strip(length);
    for (uint32_t& i : strip) i = c.U16();
    for (size_t i = 2; i < strip.size(); ++i) {
      uint32_t a = strip[i - 2], b = strip[i - 1], t = strip[i];
      if (i % 2 == 1) std::swap(a, b);  // every second triangle of a strip turns the other way
      if (a == b || b == t || a == t) continue;
      s.triangles.insert(s.triangles.end(), {a, b, t});
    }
  }
  s.vertices.reserve(vertexCount);
  for (uint16_t i = 0; i < vertexCount; ++i) {
    const uint8_t* raw = c.Take(kStripVertex.size);
    if (!raw) return Fail(why, n, "ends inside its vertices");
    s.vertices.push_back(VertexFrom(raw, kStripVertex, bone));
  }
  if (c.Ended()) return Fail(why, n, "ends inside its strips");
  return true;
}

bool ReadStructuralSurfaceV20(CheckedReader& c, DecodedSurface& s, size_t n, std::string& why) {
  const uint16_t vertexCount = c.U16();
  const uint16_t triangleCount = c.U16();
  const uint16_t bone = c.U16();
  s.vertices.reserve(vertexCount);
  if (bone != kWeighted) {
    for (uint16_t i = 0; i < vertexCount; ++i) {
      const uint8_t* raw = c.Take(kRigidVertex.size);
      if (!raw) return Fail(why, n, "ends inside its vertices");
      s.vertices.push_back(VertexFrom(raw, kRigidVertex, bone));
    }
  } else {
    // With no extra influence in the whole surface every record is 63 bytes.
    const bool hasInfluences = c.U16() != 0;
    for (uint16_t i = 0; i < vertexCount; ++i) {
      const uint8_t* raw = c.Take(kWeightedVertex.size);
      if (!raw) return Fail(why, n, "ends inside its vertices");
      DecodedVertex v = VertexFrom(raw, kWeightedVertex, U16At(raw + kWeightedBoneAt));
      const uint8_t extra = hasInfluences ? raw[kInfluenceCountAt] : 0;
      if (extra > 0 && !ReadInfluences(c, kInfluencesV20, extra, s, v)) return Fail(why, n, "ends inside its vertices");
      s.vertices.push_back(v);
    }
  }
  ReadTriangles(c, s, triangleCount);
  if (c.Ended()) return Fail(why, n, "ends inside its triangles");
  return true;
}

bool ReadStructuralSurfaceV25(CheckedReader& c, DecodedSurface& s, size_t n, std::string& why) {
  const uint16_t vertexCount = c.U16();
  const uint16_t triangleCount = c.U16();
  const uint16_t w3 = c.U16();
  const uint16_t w4 = c.U16();
  s.vertices.reserve(vertexCount);
  if (vertexCount == w3) {
    c.Skip(2);
    for (uint16_t i = 0; i < vertexCount; ++i) {
      const uint8_t* raw = c.Take(kRigidVertex.size);
      if (!raw) return Fail(why, n, "ends inside its vertices");
      s.vertices.push_back(VertexFrom(raw, kRigidVertex, w4));
    }
  } else {
    // The run list: (count, bone) pairs, the first being (word 3, word 4), up to a count of 0.
    std::vector<uint16_t> runBones;
    if (w3 != 0) {
      uint16_t count = w3, bone = w4;
      while (count != 0) {
        if (runBones.size() < vertexCount) runBones.insert(runBones.end(), std::min<size_t>(count, vertexCount - runBones.size()), bone);
        count = c.U16();
        bone = c.U16();
        if (c.Ended()) return Fail(why, n, "ends inside its bone runs");
      }
    }
    for (uint16_t i = 0; i < vertexCount; ++i) {
      const uint8_t* raw = c.Take(kWeightedVertex.size);
      if (!raw) return Fail(why, n, "ends inside its vertices");
      DecodedVertex v = VertexFrom(raw, kWeightedVertex, i < runBones.size() ? runBones[i] : U16At(raw + kWeightedBoneAt));
      const uint8_t extra = raw[kInfluenceCountAt];
      if (extra > 0 && !ReadInfluences(c, kInfluencesV25, extra, s, v)) return Fail(why, n, "ends inside its vertices");
      s.vertices.push_back(v);
    }
  }
  ReadTriangles(c, s, triangleCount);
  if (c.Ended()) return Fail(why, n, "ends inside its triangles");
  return true;
}

bool ReadSurfacesStructural(BinaryFile& file, const ModelVersion& version, std::vector<DecodedSurface>& surfaces,
                            std::string& why) {
  file.Seek(0);
  CheckedReader c(file);
  const uint16_t stored = c.U16();
  if (file.Size() < kSurfacesHeadSize || stored != version.number) {
    why = "not a surfaces file of version " + std::to_string(version.number);
    return false;
  }
  const uint16_t count = c.U16();
  surfaces.assign(count, DecodedSurface{});
  for (size_t i = 0; i < count; ++i) {
    c.Skip(static_cast<uint64_t>(version.bytesBeforeSurface));
    if (!version.readSurface(c, surfaces[i], i, why)) return false;
  }
  return true;
}

}  // namespace tessary
