// Fuzz target: animation files read from any bytes, by name only and whole, then laid onto
// a skeleton named after their own bones (and tag_origin, for the root motion).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/SkeletonAnimation.h"
#include "model/XAnimReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<uint8_t> bytes(data, data + size);
  const tessary::XAnimResult result = tessary::ReadXAnim(bytes, "fuzz");
  // The names-only reading (the desktop program's listing) agrees with the full one on
  // every file the full one reads.
  const tessary::XAnimResult names = tessary::ReadXAnimHeader(bytes, "fuzz");
  if (!result.anim) return 0;
  if (!names.anim || names.anim->bones.size() != result.anim->bones.size()) __builtin_trap();
  for (size_t i = 0; i < names.anim->bones.size(); ++i)
    if (names.anim->bones[i].name != result.anim->bones[i].name) __builtin_trap();
  std::vector<tessary::Bone> skeleton(1);
  skeleton[0].name = tessary::kRootMotionBone;
  for (const auto& bone : result.anim->bones) {
    skeleton.emplace_back();
    skeleton.back().name = bone.name;
    skeleton.back().parent = 0;
  }
  const tessary::SkeletonAnimation animation = tessary::AnimateSkeleton(*result.anim, skeleton, true);
  for (const auto& channel : animation.rotations)
    if (channel.times.size() != channel.values.size() || channel.bone >= skeleton.size()) __builtin_trap();
  for (const auto& channel : animation.translations)
    if (channel.times.size() != channel.values.size() || channel.bone >= skeleton.size()) __builtin_trap();
  return 0;
}
