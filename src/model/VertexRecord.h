#pragma once
// The little-endian vertex records of the surfaces files and the extra influences after
// them, as both readers read them. Every record starts with its normal (3 × f32); the
// texture coordinates (2 × f32) and the position (3 × f32) lie at places that differ
// between the layouts.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "model/ModelRecords.h"
#include "platform/BinaryFile.h"

namespace tessary {

struct VertexLayout {
  size_t size = 0;        // bytes in one record
  size_t uvAt = 0;        // the texture coordinates
  size_t positionAt = 0;  // the position
  bool hasColor = false;  // a colour (red, green, blue, alpha) at kColorAt
};

inline constexpr size_t kNormalAt = 0;
inline constexpr size_t kColorAt = 12;

// Version 14: normal, texture coordinates, position; 32 bytes.
inline constexpr VertexLayout kStripVertex{.size = 32, .uvAt = 12, .positionAt = 20, .hasColor = false};
// Versions 20 and 25, a vertex on its surface's bone: normal, colour, texture coordinates,
// 24 more bytes, position; 60 bytes.
inline constexpr VertexLayout kRigidVertex{.size = 60, .uvAt = 16, .positionAt = 48, .hasColor = true};
// Versions 20 and 25, a vertex naming its own bone: as a rigid one up to byte 48, then the
// count of its extra influences (u8), its bone (u16) and its position; 63 bytes.
inline constexpr VertexLayout kWeightedVertex{.size = 63, .uvAt = 16, .positionAt = 51, .hasColor = true};
inline constexpr size_t kInfluenceCountAt = 48;
inline constexpr size_t kWeightedBoneAt = 49;

// The extra influences after a weighted record: `padBefore` bytes, then per influence
// `size` bytes holding the bone's word at their start and the weight's word (of
// kFullWeight) `weightAt` bytes in.
struct InfluenceLayout {
  size_t size = 0;
  size_t weightAt = 0;
  size_t padBefore = 0;
};
inline constexpr InfluenceLayout kInfluencesV20{.size = 16, .weightAt = 14, .padBefore = 1};
inline constexpr InfluenceLayout kInfluencesV25{.size = 4, .weightAt = 2, .padBefore = 0};
inline constexpr float kFullWeight = 65535.0f;

inline float FloatAt(const uint8_t* p) {
  float f;
  std::memcpy(&f, p, sizeof f);
  return f;
}

inline uint16_t U16At(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// Fills the normal, texture coordinates, position and (when the record and `V` have one)
// colour of `v` from `record`.
template <typename V>
void FillVertex(V& v, const uint8_t* record, const VertexLayout& layout) {
  for (int k = 0; k < 3; ++k) v.normal[k] = FloatAt(record + kNormalAt + 4 * k);
  v.uv[0] = FloatAt(record + layout.uvAt);
  v.uv[1] = FloatAt(record + layout.uvAt + 4);
  for (int k = 0; k < 3; ++k) v.position[k] = FloatAt(record + layout.positionAt + 4 * k);
  if constexpr (requires { v.color; })
    if (layout.hasColor) std::memcpy(v.color, record + kColorAt, sizeof v.color);
}

// Records the `count` extra influences of `v` whose first lies at `at` in `file`, without
// moving the file's position; bytes past the end read as zeros.
inline void RecordInfluences(const BinaryFile& file, int64_t at, uint8_t count, const InfluenceLayout& layout,
                             Surface& surface, Vertex& v) {
  const auto& bytes = file.Bytes();
  auto word = [&](int64_t offset) -> uint16_t {
    auto byte = [&](int64_t o) -> unsigned {
      return o >= 0 && static_cast<uint64_t>(o) < bytes.size() ? bytes[static_cast<size_t>(o)] : 0u;
    };
    return static_cast<uint16_t>(byte(offset) | byte(offset + 1) << 8);
  };
  v.firstInfluence = static_cast<uint32_t>(surface.influences.size());
  v.influenceCount = count;
  for (uint8_t k = 0; k < count; ++k) {
    const int64_t record = at + static_cast<int64_t>(k * layout.size);
    surface.influences.push_back({word(record), word(record + static_cast<int64_t>(layout.weightAt)) / kFullWeight});
  }
}

}  // namespace tessary
