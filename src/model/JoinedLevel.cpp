#include "model/JoinedLevel.h"

#include <array>

#include "model/ModelVersions.h"
#include "platform/AsciiCase.h"

namespace tessary {

namespace {

size_t FindBone(const std::vector<Bone>& bones, const std::string& name) {
  for (size_t b = 0; b < bones.size(); ++b)
    if (EqualsIgnoringCase(bones[b].name, name)) return b;
  return SIZE_MAX;
}

Quat Multiply(const Quat& a, const Quat& b) {
  return {a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y, a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
          a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w, a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
}

std::array<float, 3> Rotate(const Quat& q, const float (&v)[3]) {
  // v + 2w (u x v) + 2 u x (u x v), u = (x, y, z)
  const float tx = 2 * (q.y * v[2] - q.z * v[1]);
  const float ty = 2 * (q.z * v[0] - q.x * v[2]);
  const float tz = 2 * (q.x * v[1] - q.y * v[0]);
  return {v[0] + q.w * tx + (q.y * tz - q.z * ty), v[1] + q.w * ty + (q.z * tx - q.x * tz),
          v[2] + q.w * tz + (q.x * ty - q.y * tx)};
}

struct Transform {
  Quat rotation;
  float translation[3] = {0, 0, 0};
};

// The bone's transform into model space. Parents come before their children in the files;
// a parent index that does not is taken as no parent, so that a damaged skeleton ends.
Transform WorldOf(const std::vector<Bone>& bones, size_t index) {
  std::vector<size_t> chain{index};
  while (true) {
    const int32_t parent = bones[chain.back()].parent;
    if (parent < 0 || size_t(parent) >= chain.back()) break;
    chain.push_back(size_t(parent));
  }
  Transform world;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    const Bone& bone = bones[*it];
    const std::array<float, 3> t = Rotate(world.rotation, bone.translation);
    for (int a = 0; a < 3; ++a) world.translation[a] += t[a];
    world.rotation = Multiply(world.rotation, bone.rotation);
  }
  return world;
}

}  // namespace

JoinResult JoinLevels(const DecodedLevel& first, const DecodedLevel& second) {
  JoinResult result;
  if (first.version != second.version) {
    result.error = "Cannot join " + second.modelName + " (version " + std::to_string(second.version) + ") to " +
                   first.modelName + " (version " + std::to_string(first.version) + "): their versions differ.";
    return result;
  }
  if (first.bones.size() + second.bones.size() > 65535) {
    result.error = "Cannot join " + second.modelName + " to " + first.modelName + ": too many bones.";
    return result;
  }
  DecodedLevel& level = result.level;
  level = first;
  const size_t boneBase = first.bones.size();
  size_t firstRoot = 0;
  while (firstRoot < first.bones.size() && first.bones[firstRoot].parent >= 0) ++firstRoot;

  // Where each of the second skeleton's bones hangs: the first skeleton's bone its root was
  // attached to (none when the first skeleton is empty).
  std::vector<size_t> attachOf(second.bones.size(), SIZE_MAX);
  for (size_t i = 0; i < second.bones.size(); ++i) {
    Bone bone = second.bones[i];
    const int32_t parent = bone.parent;
    if (parent >= 0 && size_t(parent) < i) {
      bone.parent = int32_t(boneBase + size_t(parent));
      attachOf[i] = attachOf[size_t(parent)];
    } else {
      size_t attach = FindBone(first.bones, bone.name);
      if (attach == SIZE_MAX) attach = FindBone(first.bones, kWeaponBone);
      if (attach == SIZE_MAX) attach = firstRoot;
      if (attach < first.bones.size()) {
        bone.parent = int32_t(attach);
        attachOf[i] = attach;
      } else {
        bone.parent = -1;
      }
    }
    level.bones.push_back(std::move(bone));
  }

  const bool modelSpace = VerticesInModelSpace(second.version);
  std::vector<Transform> attachWorld(first.bones.size());
  std::vector<bool> known(first.bones.size(), false);
  const size_t materialBase = first.materials.size();
  level.materials.insert(level.materials.end(), second.materials.begin(), second.materials.end());
  for (DecodedSurface surface : second.surfaces) {
    if (surface.material >= 0) surface.material += int32_t(materialBase);
    for (BoneInfluence& influence : surface.influences) influence.bone = uint16_t(influence.bone + boneBase);
    for (DecodedVertex& vertex : surface.vertices) {
      const size_t own = vertex.bone;
      vertex.bone = uint16_t(vertex.bone + boneBase);
      if (!modelSpace || own >= attachOf.size() || attachOf[own] == SIZE_MAX) continue;
      const size_t attach = attachOf[own];
      if (!known[attach]) {
        attachWorld[attach] = WorldOf(first.bones, attach);
        known[attach] = true;
      }
      const Transform& world = attachWorld[attach];
      const std::array<float, 3> p = Rotate(world.rotation, vertex.position);
      const std::array<float, 3> n = Rotate(world.rotation, vertex.normal);
      for (int a = 0; a < 3; ++a) {
        vertex.position[a] = p[a] + world.translation[a];
        vertex.normal[a] = n[a];
      }
    }
    level.surfaces.push_back(std::move(surface));
  }
  return result;
}

}  // namespace tessary
