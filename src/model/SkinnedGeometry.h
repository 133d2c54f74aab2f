#pragma once
// The skinned geometry of a structurally read level: every bone's model-space pose from
// the local translations and rotations, each vertex moved by its bone's full transform
// (versions 14 and 20 store positions and normals relative to their bone; version 25 in
// model space already), and each vertex's strongest bone influences.
#include <array>
#include <cstdint>
#include <vector>

#include "model/DecodedLevel.h"

namespace tessary {

using Vec3 = std::array<float, 3>;

struct BonePose {
  Quat rotation;
  Vec3 translation{0, 0, 0};
};

Quat Multiply(const Quat& a, const Quat& b);
Vec3 Rotate(const Quat& q, const Vec3& v);

// Model-space poses, one per bone: world_q = parent_q · local_q and world_t = parent_t +
// rotate(parent_q, local_t); roots keep their local pose. `scale` multiplies translations.
std::vector<BonePose> WorldPoses(const std::vector<Bone>& bones, float scale = 1.0f);

struct SkinnedVertex {
  Vec3 position{0, 0, 0};
  Vec3 normal{0, 0, 0};
};

// Model-space positions (times `scale`) and normals of every vertex of every surface, in the
// level's order. A bone index outside the skeleton counts as bone 0.
std::vector<std::vector<SkinnedVertex>> SkinnedVertices(const DecodedLevel& level, float scale = 1.0f);

// Up to four bones of a vertex with their weights: the vertex's own bone takes 1 minus the
// sum of its extra influences (never below 0), influences of the same bone are added up,
// the four strongest are kept and renormalised to a sum of 1. Unused places hold bone 0
// with weight 0. Bone indices outside the skeleton count as bone 0.
struct JointWeights {
  std::array<uint16_t, 4> joints{0, 0, 0, 0};
  std::array<float, 4> weights{0, 0, 0, 0};
};
JointWeights StrongestInfluences(const DecodedSurface& surface, const DecodedVertex& vertex, size_t boneCount);

}  // namespace tessary
