#pragma once
// The parts of an animation written in the SDK's source format: the animation's bones that
// the skeleton has, in the file's order (the first of several bones of one name), with
// tag_origin first when the root motion drives it and the file does not name it.
#include <cstddef>
#include <string>
#include <vector>

#include "model/DecodedLevel.h"
#include "model/SkeletonAnimation.h"
#include "model/XAnim.h"

namespace tessary {

struct XAnimPart {
  std::string name;  // as the animation file spells it
  size_t bone = 0;   // index in the skeleton
};

std::vector<XAnimPart> AnimatedParts(const XAnim& anim, const SkeletonAnimation& animation,
                                     const std::vector<Bone>& skeleton);

}  // namespace tessary
