#pragma once
// A skeleton as an animation poses it at one moment: the local rotation and translation of
// every bone the animation drives, between its keys, the other bones at their bind pose.
#include <vector>

#include "model/DecodedLevel.h"
#include "model/SkeletonAnimation.h"

namespace tessary {

// The skeleton with each driven bone's local pose at `time` seconds: rotations between two
// keys along the shorter arc (the channels' neighbours share a hemisphere), translations
// linearly; before the first key a channel holds its first value, after the last its
// last. `skeleton` is the one the animation was laid onto.
std::vector<Bone> PoseSkeleton(const SkeletonAnimation& animation, const std::vector<Bone>& skeleton, float time);

}  // namespace tessary
