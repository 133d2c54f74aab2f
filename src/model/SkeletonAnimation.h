#pragma once
// An animation laid onto a skeleton: per bone it drives, the keys of its local rotation and
// translation over time, ready for a writer to store as linearly interpolated channels.
#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "model/DecodedLevel.h"
#include "model/XAnim.h"

namespace tessary {

struct RotationChannel {
  size_t bone = 0;  // index in the skeleton
  std::vector<float> times;  // seconds, increasing
  std::vector<Quat> values;  // unit local rotations; neighbours share a hemisphere
};

struct TranslationChannel {
  size_t bone = 0;
  std::vector<float> times;
  std::vector<std::array<float, 3>> values;  // local translations
};

struct SkeletonAnimation {
  std::string name;
  double duration = 0;  // seconds
  // One of each per bone the animation drives, in skeleton order.
  std::vector<RotationChannel> rotations;
  std::vector<TranslationChannel> translations;
  // The animation's bones the skeleton lacks, in the file's order.
  std::vector<std::string> missingBones;
  // The delta tracks drive tag_origin.
  bool rootMotionApplied = false;
  // The animation has root motion and it was asked for, but the skeleton has no tag_origin.
  bool rootMotionLost = false;
};

// The bone of the delta (root motion) tracks.
inline constexpr const char* kRootMotionBone = "tag_origin";

// Matches the animation's bones to the skeleton's by name, ignoring case (the first of
// several bones of one name takes it). A stored rotation replaces the bone's local rotation;
// a stored translation replaces its local translation in a relative animation (the fourth
// game's asset type 1) and is added to its bind translation in the others; a bone without
// keys of a kind keeps its bind value as a single key. Key times are frame / fps. With `rootMotion`, the delta
// tracks drive the skeleton's tag_origin.
SkeletonAnimation AnimateSkeleton(const XAnim& anim, const std::vector<Bone>& skeleton, bool rootMotion);

// Names joined by ", " for a message: the first 20, then "… and N more" (an animation may
// name 65,535 bones, and the line stays readable).
std::string ListedNames(const std::vector<std::string>& names);

// What a user is told of an animation laid onto `models` (the names of the models whose
// skeleton it is): one line naming the `boneCount` bones' names the skeleton lacks, one when
// the root motion finds no tag_origin. Each line starts with the animation's name.
std::vector<std::string> AnimationWarnings(const SkeletonAnimation& animation, size_t boneCount,
                                           const std::string& animName, const std::string& models);

}  // namespace tessary
