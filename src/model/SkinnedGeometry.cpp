#include "model/SkinnedGeometry.h"

#include <algorithm>
#include <cmath>

#include "model/ModelVersions.h"

namespace tessary {

Quat Multiply(const Quat& a, const Quat& b) {
  Quat q;
  q.w = a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z;
  q.x = a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y;
  q.y = a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x;
  q.z = a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w;
  return q;
}

Vec3 Rotate(const Quat& q, const Vec3& v) {
  // v + 2w (u × v) + 2 u × (u × v), with u the vector part of q.
  const Vec3 u{q.x, q.y, q.z};
  const Vec3 t{2 * (u[1] * v[2] - u[2] * v[1]), 2 * (u[2] * v[0] - u[0] * v[2]), 2 * (u[0] * v[1] - u[1] * v[0])};
  return {v[0] + q.w * t[0] + (u[1] * t[2] - u[2] * t[1]), v[1] + q.w * t[1] + (u[2] * t[0] - u[0] * t[2]),
          v[2] + q.w * t[2] + (u[0] * t[1] - u[1] * t[0])};
}

std::vector<BonePose> WorldPoses(const std::vector<Bone>& bones, float scale) {
  std::vector<BonePose> poses(bones.size());
  for (size_t i = 0; i < bones.size(); ++i) {
    const Bone& b = bones[i];
    const Vec3 local{b.translation[0] * scale, b.translation[1] * scale, b.translation[2] * scale};
    if (b.parent < 0 || static_cast<size_t>(b.parent) >= i) {
      poses[i] = {b.rotation, local};
      continue;
    }
    const BonePose& p = poses[size_t(b.parent)];
    const Vec3 moved = Rotate(p.rotation, local);
    poses[i].rotation = Multiply(p.rotation, b.rotation);
    poses[i].translation = {p.translation[0] + moved[0], p.translation[1] + moved[1], p.translation[2] + moved[2]};
  }
  return poses;
}

std::vector<std::vector<SkinnedVertex>> SkinnedVertices(const DecodedLevel& level, float scale) {
  const std::vector<BonePose> poses = WorldPoses(level.bones, scale);
  const bool boneRelative = !VerticesInModelSpace(level.version);
  std::vector<std::vector<SkinnedVertex>> out(level.surfaces.size());
  for (size_t s = 0; s < level.surfaces.size(); ++s) {
    const auto& vertices = level.surfaces[s].vertices;
    out[s].resize(vertices.size());
    for (size_t i = 0; i < vertices.size(); ++i) {
      const DecodedVertex& v = vertices[i];
      SkinnedVertex& o = out[s][i];
      const Vec3 p{v.position[0] * scale, v.position[1] * scale, v.position[2] * scale};
      const Vec3 n{v.normal[0], v.normal[1], v.normal[2]};
      if (!boneRelative || poses.empty()) {
        o.position = p;
        o.normal = n;
        continue;
      }
      const BonePose& pose = poses[v.bone < poses.size() ? v.bone : 0];
      const Vec3 r = Rotate(pose.rotation, p);
      o.position = {r[0] + pose.translation[0], r[1] + pose.translation[1], r[2] + pose.translation[2]};
      o.normal = Rotate(pose.rotation, n);
    }
  }
  return out;
}

JointWeights StrongestInfluences(const DecodedSurface& surface, const DecodedVertex& vertex, size_t boneCount) {
  auto joint = [&](uint16_t bone) -> uint16_t { return bone < boneCount ? bone : 0; };
  std::vector<std::pair<uint16_t, float>> all;  // bone, summed weight
  auto add = [&](uint16_t bone, float weight) {
    auto it = std::find_if(all.begin(), all.end(), [&](const auto& e) { return e.first == bone; });
    if (it == all.end()) all.emplace_back(bone, weight);
    else it->second += weight;
  };
  float extra = 0;
  const size_t first = vertex.firstInfluence;
  const size_t end = std::min(surface.influences.size(), first + vertex.influenceCount);
  for (size_t i = first; i < end; ++i) extra += surface.influences[i].weight;
  add(joint(vertex.bone), std::max(0.0f, 1.0f - extra));
  for (size_t i = first; i < end; ++i) add(joint(surface.influences[i].bone), surface.influences[i].weight);
  // Strongest first; equal weights keep the order of the file.
  std::stable_sort(all.begin(), all.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
  if (all.size() > 4) all.resize(4);
  float sum = 0;
  for (const auto& e : all) sum += e.second;
  JointWeights out;
  if (sum <= 0) {  // nothing weighs anything: the vertex follows its own bone
    out.joints[0] = joint(vertex.bone);
    out.weights[0] = 1;
    return out;
  }
  size_t k = 0;
  for (const auto& e : all) {
    if (e.second <= 0) continue;
    out.joints[k] = e.first;
    out.weights[k] = e.second / sum;
    ++k;
  }
  return out;
}

}  // namespace tessary
