#include "model/StructuralHeader.h"

#include "model/ByteCursor.h"

namespace tessary {

namespace {

uint32_t U32(ByteCursor& c) {
  const uint32_t lo = c.U16();
  return lo | static_cast<uint32_t>(c.U16()) << 16;
}

bool Overran(const ByteCursor& c) { return c.Tell() > c.Size(); }

}  // namespace

std::optional<HeaderLayout> ReadHeaderLayout(const std::vector<uint8_t>& bytes, std::string& why) {
  ByteCursor c(bytes);
  HeaderLayout h;
  h.version = c.U16();
  size_t slots = 4;
  switch (h.version) {
    case 14: c.Seek(26); slots = 3; break;
    case 20: c.Seek(27); break;
    case 25: c.Seek(27); c.ZString(); break;  // the optional name
    default:
      why = "not a model header of version 14, 20 or 25 (version " + std::to_string(h.version) + ")";
      return std::nullopt;
  }
  for (size_t i = 0; i < slots; ++i) {
    c.Skip(4);  // the level's distance
    h.levelNames.push_back(c.ZString());
  }
  c.Skip(4);
  const uint32_t records = U32(c);
  for (uint32_t i = 0; i < records && !Overran(c); ++i) {
    const uint64_t k = U32(c);
    c.Skip(static_cast<size_t>(std::min<uint64_t>(48 * k + 36, SIZE_MAX / 2)));
  }
  if (Overran(c)) {
    why = "damaged model header (it ends inside its level table)";
    return std::nullopt;
  }
  h.materials.resize(slots);
  for (size_t i = 0; i < slots; ++i) {
    if (h.levelNames[i].empty()) continue;
    const uint16_t count = c.U16();
    for (uint16_t j = 0; j < count && !Overran(c); ++j) h.materials[i].push_back(c.ZString());
    if (Overran(c)) {
      why = "damaged model header (it ends inside the material list of level " + std::to_string(i) + ")";
      return std::nullopt;
    }
  }
  return h;
}

}  // namespace tessary
