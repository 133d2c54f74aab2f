#pragma once
// The parts file (skeleton) as the files really lay it out, every version: u16 version,
// u16 C bone records, u16 R roots; C records of 19 bytes {u8 parent, 3 × f32 translation,
// 3 × i16 rotation x, y, z}; then R + C zero-terminated names, roots first (each followed
// by the versions table's bytes after a name). Roots have no record: they sit at the
// origin, unrotated. A record's parent index counts the roots.
#include <cstdint>
#include <string>
#include <vector>

#include "model/DecodedLevel.h"
#include "model/ModelVersions.h"
#include "platform/BinaryFile.h"

namespace tessary {

// The rotation a record stores: q = (x, y, z) / 32768, w = sqrt(max(0, 1 − x² − y² − z²))
// (a vector part longer than 1 is scaled to length 1).
Quat RotationFromStored(int16_t x, int16_t y, int16_t z);

// Reads the bones of a parts file; false with the reason in `why` when it is of another
// version than `version` or ends before its names do. A parent that does not come before
// its bone makes the bone one more root (keeping its translation and rotation).
bool ReadSkeleton(BinaryFile& file, const ModelVersion& version, std::vector<Bone>& bones, std::string& why);

}  // namespace tessary
