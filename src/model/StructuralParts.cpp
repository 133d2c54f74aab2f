#include "model/StructuralParts.h"

#include <algorithm>
#include <cmath>

#include "model/CheckedReader.h"

namespace tessary {

Quat RotationFromStored(int16_t x, int16_t y, int16_t z) {
  Quat q;
  q.x = static_cast<float>(x) / 32768.0f;
  q.y = static_cast<float>(y) / 32768.0f;
  q.z = static_cast<float>(z) / 32768.0f;
  const float squares = q.x * q.x + q.y * q.y + q.z * q.z;
  q.w = std::sqrt(std::max(0.0f, 1.0f - squares));
  if (squares > 1.0f) {  // no real file holds one; shortened so that it stays a rotation
    const float length = std::sqrt(squares);
    q.x /= length;
    q.y /= length;
    q.z /= length;
  }
  return q;
}

bool ReadSkeleton(BinaryFile& file, const ModelVersion& version, std::vector<Bone>& bones, std::string& why) {
  file.Seek(0);
  CheckedReader c(file);
  const uint16_t stored = c.U16();
  if (file.Size() < 6 || stored != version.number) {
    why = "not a parts file of version " + std::to_string(version.number);
    return false;
  }
  const uint16_t records = c.U16();
  const uint16_t roots = c.U16();
  if (size_t{records} * 19 + roots + records > c.Remaining()) {
    why = "damaged parts file (" + std::to_string(roots + records) + " bones do not fit in it)";
    return false;
  }
  bones.assign(size_t{roots} + records, Bone{});
  for (size_t i = roots; i < bones.size(); ++i) {
    Bone& b = bones[i];
    const uint8_t parent = c.U8();
    b.parent = parent < i ? parent : -1;
    for (float& t : b.translation) t = c.F32();
    for (int16_t& r : b.storedRotation) r = static_cast<int16_t>(c.U16());
    b.rotation = RotationFromStored(b.storedRotation[0], b.storedRotation[1], b.storedRotation[2]);
  }
  for (Bone& b : bones) {
    b.name = c.ZString();
    if (c.Ended()) {
      why = "damaged parts file (it ends inside its bone names)";
      return false;
    }
    if (b.name.empty()) b.name = "tag_origin";
    file.Skip(version.bytesAfterPartName);
  }
  return true;
}

}  // namespace tessary
