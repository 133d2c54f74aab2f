#include "model/StructuralSurfaces.h"

#include <cstring>

#include "model/CheckedReader.h"

namespace tessary {

namespace {

constexpr uint16_t kWeighted = 0xFFFF;
constexpr float kWeightScale = 1.0f / 65535.0f;

// The fields at fixed places of a 60- or 63-byte vertex record.
struct Record {
  const uint8_t* bytes;
  float F(size_t at) const {
    float f;
    std::memcpy(&f, bytes + at, sizeof f);
    return f;
  }
  uint16_t U16(size_t at) const { return static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8); }
};

// Normal at +0, colour at +12, texture coordinates at +16, position at `positionAt`.
DecodedVertex VertexFrom(const Record& r, size_t positionAt, uint16_t bone) {
  DecodedVertex v;
  for (int i = 0; i < 3; ++i) {
    v.normal[i] = r.F(size_t(4 * i));
    v.position[i] = r.F(positionAt + size_t(4 * i));
  }
  v.uv[0] = r.F(16);
  v.uv[1] = r.F(20);
  std::memcpy(v.color, r.bytes + 12, sizeof v.color);
  v.bone = bone;
  return v;
}

class SurfaceReader {
 public:
  SurfaceReader(BinaryFile& file, std::string& why) : c_(file), why_(why) {}

  CheckedReader& Cursor() { return c_; }
  bool Overran() const { return c_.Ended(); }
  bool Fail(size_t surface, const std::string& what) {
    why_ = "damaged surfaces file (surface " + std::to_string(surface) + " " + what + ")";
    return false;
  }
  // The next `size` bytes as a record; null when the file ends first.
  const uint8_t* Take(size_t size) { return c_.Take(size); }

  void Triangles(DecodedSurface& s, uint16_t count) {
    s.triangles.resize(size_t{count} * 3);
    for (uint32_t& index : s.triangles) index = c_.U16();
  }

  bool V14(DecodedSurface& s, size_t n) {
    const uint16_t vertexCount = c_.U16();
    c_.Skip(2);
    const uint16_t strips = c_.U16();
    const uint16_t bone = c_.U16();
    if (bone == kWeighted) {
      why_ = "surface " + std::to_string(n) + " has no bone (word 0xFFFF); this layout is not supported";
      return false;
    }
    for (uint16_t k = 0; k < strips && !Overran(); ++k) {
      const uint8_t length = c_.U8();
      std::vector<uint32_t> strip(length);
      for (uint32_t& i : strip) i = c_.U16();
      for (size_t i = 2; i < strip.size(); ++i) {
        uint32_t a = strip[i - 2], b = strip[i - 1], t = strip[i];
        if (i % 2 == 1) std::swap(a, b);  // every second triangle of a strip turns the other way
        if (a == b || b == t || a == t) continue;
        s.triangles.insert(s.triangles.end(), {a, b, t});
      }
    }
    s.vertices.reserve(vertexCount);
    for (uint16_t i = 0; i < vertexCount; ++i) {
      const uint8_t* raw = Take(32);
      if (!raw) return Fail(n, "ends inside its vertices");
      Record r{raw};
      DecodedVertex v;
      for (int k = 0; k < 3; ++k) {
        v.normal[k] = r.F(size_t(4 * k));
        v.position[k] = r.F(size_t(20 + 4 * k));
      }
      v.uv[0] = r.F(12);
      v.uv[1] = r.F(16);
      v.bone = bone;
      s.vertices.push_back(v);
    }
    if (Overran()) return Fail(n, "ends inside its strips");
    if (c_.Remaining() > 0) c_.Skip(1);  // the last surface of a file often lacks this byte
    return true;
  }

  bool V20(DecodedSurface& s, size_t n) {
    if (n > 0) c_.Skip(1);  // one byte between surfaces
    const uint16_t vertexCount = c_.U16();
    const uint16_t triangleCount = c_.U16();
    const uint16_t bone = c_.U16();
    s.vertices.reserve(vertexCount);
    if (bone != kWeighted) {
      for (uint16_t i = 0; i < vertexCount; ++i) {
        const uint8_t* raw = Take(60);
        if (!raw) return Fail(n, "ends inside its vertices");
        s.vertices.push_back(VertexFrom(Record{raw}, 48, bone));
      }
    } else {
      // With no extra influence in the whole surface every record is 63 bytes.
      const bool hasInfluences = c_.U16() != 0;
      for (uint16_t i = 0; i < vertexCount; ++i) {
        const uint8_t* raw = Take(63);
        if (!raw) return Fail(n, "ends inside its vertices");
        Record r{raw};
        DecodedVertex v = VertexFrom(r, 51, r.U16(49));
        const uint8_t extra = hasInfluences ? raw[48] : 0;
        if (extra > 0) {
          c_.Skip(1);
          v.firstInfluence = static_cast<uint32_t>(s.influences.size());
          v.influenceCount = extra;
          for (uint8_t k = 0; k < extra; ++k) {
            const uint8_t* in = Take(16);
            if (!in) return Fail(n, "ends inside its vertices");
            Record ir{in};
            s.influences.push_back({ir.U16(0), ir.U16(14) * kWeightScale});
          }
        }
        s.vertices.push_back(v);
      }
    }
    Triangles(s, triangleCount);
    if (Overran()) return Fail(n, "ends inside its triangles");
    return true;
  }

  bool V25(DecodedSurface& s, size_t n) {
    c_.Skip(3);
    const uint16_t vertexCount = c_.U16();
    const uint16_t triangleCount = c_.U16();
    const uint16_t w3 = c_.U16();
    const uint16_t w4 = c_.U16();
    s.vertices.reserve(vertexCount);
    if (vertexCount == w3) {
      c_.Skip(2);
      for (uint16_t i = 0; i < vertexCount; ++i) {
        const uint8_t* raw = Take(60);
        if (!raw) return Fail(n, "ends inside its vertices");
        s.vertices.push_back(VertexFrom(Record{raw}, 48, w4));
      }
    } else {
      // The run list: (count, bone) pairs, the first being (word 3, word 4), up to a count of 0.
      std::vector<uint16_t> runBones;
      if (w3 != 0) {
        uint16_t count = w3, bone = w4;
        while (count != 0) {
          if (runBones.size() < vertexCount) runBones.insert(runBones.end(), std::min<size_t>(count, vertexCount - runBones.size()), bone);
          count = c_.U16();
          bone = c_.U16();
          if (Overran()) return Fail(n, "ends inside its bone runs");
        }
      }
      for (uint16_t i = 0; i < vertexCount; ++i) {
        const uint8_t* raw = Take(63);
        if (!raw) return Fail(n, "ends inside its vertices");
        Record r{raw};
        DecodedVertex v = VertexFrom(r, 51, i < runBones.size() ? runBones[i] : r.U16(49));
        const uint8_t extra = raw[48];
        if (extra > 0) {
          v.firstInfluence = static_cast<uint32_t>(s.influences.size());
          v.influenceCount = extra;
          for (uint8_t k = 0; k < extra; ++k) {
            const uint8_t* in = Take(4);
            if (!in) return Fail(n, "ends inside its vertices");
            Record ir{in};
            s.influences.push_back({ir.U16(0), ir.U16(2) * kWeightScale});
          }
        }
        s.vertices.push_back(v);
      }
    }
    Triangles(s, triangleCount);
    if (Overran()) return Fail(n, "ends inside its triangles");
    return true;
  }

 private:
  CheckedReader c_;
  std::string& why_;
};

}  // namespace

bool ReadSurfacesStructural(BinaryFile& file, uint16_t version, std::vector<DecodedSurface>& surfaces,
                            std::string& why) {
  file.Seek(0);
  SurfaceReader reader(file, why);
  CheckedReader& c = reader.Cursor();
  const uint16_t stored = c.U16();
  if (file.Size() < 4 || stored != version) {
    why = "not a surfaces file of version " + std::to_string(version);
    return false;
  }
  const uint16_t count = c.U16();
  if (version != 25) c.Skip(1);
  surfaces.assign(count, DecodedSurface{});
  for (size_t i = 0; i < count; ++i) {
    DecodedSurface& s = surfaces[i];
    const bool ok = version == 14 ? reader.V14(s, i) : version == 20 ? reader.V20(s, i) : reader.V25(s, i);
    if (!ok) return false;
  }
  return true;
}

}  // namespace tessary
