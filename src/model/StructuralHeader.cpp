#include "model/StructuralHeader.h"

#include "model/CheckedReader.h"
#include "model/ModelVersions.h"

namespace tessary {

std::optional<HeaderLayout> ReadHeaderLayout(BinaryFile& file, std::string& why) {
  file.Seek(0);
  CheckedReader c(file);
  HeaderLayout h;
  h.version = c.U16();
  const ModelVersion* row = FindModelVersion(h.version);
  if (!row) {
    why = "not a model header of version " + ModelVersionList() + " (version " + std::to_string(h.version) + ")";
    return std::nullopt;
  }
  c.Skip(static_cast<uint64_t>(row->levelTableAt - c.Tell()));
  if (row->optionalNameFirst) c.ZString();
  const size_t slots = row->levelSlots;
  for (size_t i = 0; i < slots; ++i) {
    h.levelDistances.push_back(c.F32());  // the level's distance
    h.levelNames.push_back(c.ZString());
  }
  c.Skip(4);
  const uint32_t records = c.U32();
  for (uint32_t i = 0; i < records && !c.Ended(); ++i) c.Skip(48 * uint64_t{c.U32()} + 36);
  if (c.Ended()) {
    why = "damaged model header (it ends inside its level table)";
    return std::nullopt;
  }
  h.materials.resize(slots);
  for (size_t i = 0; i < slots; ++i) {
    if (h.levelNames[i].empty()) continue;
    const uint16_t count = c.U16();
    for (uint16_t j = 0; j < count && !c.Ended(); ++j) h.materials[i].push_back(c.ZString());
    if (c.Ended()) {
      why = "damaged model header (it ends inside the material list of level " + std::to_string(i) + ")";
      return std::nullopt;
    }
  }
  return h;
}

}  // namespace tessary
