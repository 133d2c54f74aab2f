#pragma once
// Reading of the little-endian vertex records the surfaces files share: the normal at the
// record's start, then the texture coordinates and the position at offsets that differ
// between the layouts.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "model/ModelRecords.h"
#include "platform/BinaryFile.h"

namespace tessary {

inline float FloatAt(const uint8_t* p) {
  float f;
  std::memcpy(&f, p, sizeof f);
  return f;
}

inline void FillVertex(Vertex& v, const uint8_t* record, size_t uvOffset, size_t positionOffset) {
  for (int k = 0; k < 3; ++k) v.normal[k] = FloatAt(record + 4 * k);
  v.uv[0] = FloatAt(record + uvOffset);
  v.uv[1] = FloatAt(record + uvOffset + 4);
  for (int k = 0; k < 3; ++k) v.position[k] = FloatAt(record + positionOffset + 4 * k);
}

// Records the `count` extra influences of `v` that lie at `at` in `file`, `stride` bytes
// each (the bone's word first, the weight's word `weightAt` bytes in), without moving the
// file's position; bytes past the end read as zeros.
inline void RecordInfluences(const BinaryFile& file, int64_t at, uint8_t count, size_t stride, size_t weightAt,
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
    const int64_t record = at + static_cast<int64_t>(k * stride);
    surface.influences.push_back({word(record), word(record + static_cast<int64_t>(weightAt)) / 65535.0f});
  }
}

}  // namespace tessary
