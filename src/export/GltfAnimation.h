#pragma once
// Animations in a glTF model: the channels of an animation laid onto the skeleton whose
// bones are the model's nodes.
#include <string>
#include <vector>

#include "model/SkeletonAnimation.h"
#include "model/XAnim.h"

namespace tinygltf {
class Model;
}

namespace tessary {

// Appends one glTF animation named after the file: per channel a LINEAR sampler over the
// key times (seconds) and the local rotations or translations (translations times
// `translationScale`, the scale the writer gave the bones' translations), targeting
// `boneNodes[channel.bone]`. The keys go into the model's first buffer (created when there
// is none). The animation's extras hold what glTF has no place for: the notetracks (name,
// frame, time), the version 17 asset type, the frame count and rate, whether the root
// motion was laid on, and the bones the skeleton lacks. An animation that moves no node (no
// bone of the skeleton, no root motion) has no place in glTF: nothing is added, and false
// returned.
bool AddGltfAnimation(tinygltf::Model& model, const std::vector<int>& boneNodes, const SkeletonAnimation& animation,
                      const XAnim& source, float translationScale = 1.0f);

}  // namespace tessary
