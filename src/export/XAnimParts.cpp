#include "export/XAnimParts.h"

#include <unordered_map>

#include "platform/AsciiCase.h"

namespace tessary {

std::vector<XAnimPart> AnimatedParts(const XAnim& anim, const SkeletonAnimation& animation,
                                     const std::vector<Bone>& skeleton) {
  std::unordered_map<std::string, size_t> byName;
  for (size_t i = 0; i < skeleton.size(); ++i) byName.emplace(AsciiLower(skeleton[i].name), i);
  std::vector<XAnimPart> parts;
  std::vector<bool> taken(skeleton.size(), false);
  const auto origin = byName.find(kRootMotionBone);
  if (animation.rootMotionApplied && origin != byName.end()) {
    bool named = false;
    for (const XAnimBone& bone : anim.bones) named = named || AsciiLower(bone.name) == kRootMotionBone;
    if (!named) {
      parts.push_back({skeleton[origin->second].name, origin->second});
      taken[origin->second] = true;
    }
  }
  for (const XAnimBone& bone : anim.bones) {
    const auto it = byName.find(AsciiLower(bone.name));
    if (it == byName.end() || taken[it->second]) continue;
    taken[it->second] = true;
    parts.push_back({bone.name, it->second});
  }
  return parts;
}

}  // namespace tessary
