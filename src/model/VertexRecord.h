#pragma once
// Reading of the little-endian vertex records the surfaces files share: the normal at the
// record's start, then the texture coordinates and the position at offsets that differ
// between the layouts.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "model/ModelRecords.h"

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

}  // namespace tessary
