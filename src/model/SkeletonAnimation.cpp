#include "model/SkeletonAnimation.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "platform/AsciiCase.h"

namespace tessary {

namespace {

float TimeOf(uint16_t frame, uint16_t fps) { return fps == 0 ? 0.0f : float(frame) / float(fps); }

// A key whose frame is not after the previous key's cannot be kept in a channel whose
// times must increase; such keys are left out.
// Stored keys of more than a unit's length (all three words at their limits) are brought
// back to unit length; a zero quaternion cannot occur (w makes up what x, y, z lack).
Quat Normalized(const Quat& q) {
  const float length = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
  if (length == 0 || std::fabs(length - 1) < 1e-7f) return q;
  return Quat{q.x / length, q.y / length, q.z / length, q.w / length};
}

bool After(const std::vector<float>& times, float t) {
  return times.empty() || t > times.back();
}

RotationChannel Rotations(size_t bone, const std::vector<XAnimRotationKey>& keys, const Quat& bind,
                          uint16_t fps) {
  RotationChannel channel;
  channel.bone = bone;
  if (keys.empty()) {
    channel.times.push_back(0);
    channel.values.push_back(bind);
    return channel;
  }
  for (const XAnimRotationKey& key : keys) {
    const float t = TimeOf(key.frame, fps);
    if (!After(channel.times, t)) continue;
    Quat q = Normalized(key.rotation);
    // A stored key may be its neighbour's rotation negated; interpolating across the sign
    // change would spin the long way round.
    if (!channel.values.empty()) {
      const Quat& p = channel.values.back();
      if (p.x * q.x + p.y * q.y + p.z * q.z + p.w * q.w < 0) q = Quat{-q.x, -q.y, -q.z, -q.w};
    }
    channel.times.push_back(t);
    channel.values.push_back(q);
  }
  return channel;
}

// `local`: the keys are the local translation itself; else they are added to the bind's.
TranslationChannel Translations(size_t bone, const std::vector<XAnimTranslationKey>& keys,
                                const float (&bind)[3], bool local, uint16_t fps) {
  TranslationChannel channel;
  channel.bone = bone;
  if (keys.empty()) {
    channel.times.push_back(0);
    channel.values.push_back({bind[0], bind[1], bind[2]});
    return channel;
  }
  for (const XAnimTranslationKey& key : keys) {
    const float t = TimeOf(key.frame, fps);
    if (!After(channel.times, t)) continue;
    channel.times.push_back(t);
    const float base[3] = {local ? 0 : bind[0], local ? 0 : bind[1], local ? 0 : bind[2]};
    channel.values.push_back({base[0] + key.translation[0], base[1] + key.translation[1],
                              base[2] + key.translation[2]});
  }
  return channel;
}

}  // namespace

SkeletonAnimation AnimateSkeleton(const XAnim& anim, const std::vector<Bone>& skeleton, bool rootMotion) {
  SkeletonAnimation out;
  out.name = anim.name;
  out.duration = anim.Duration();

  std::unordered_map<std::string, size_t> byName;
  for (size_t i = 0; i < skeleton.size(); ++i) byName.emplace(AsciiLower(skeleton[i].name), i);

  // The skeleton bone each of the animation's bones drives, first come first served.
  std::vector<const XAnimBone*> driver(skeleton.size(), nullptr);
  for (const XAnimBone& bone : anim.bones) {
    auto it = byName.find(AsciiLower(bone.name));
    if (it == byName.end()) {
      out.missingBones.push_back(bone.name);
    } else if (driver[it->second] == nullptr) {
      driver[it->second] = &bone;
    }
  }

  size_t root = skeleton.size();
  if (rootMotion && anim.HasDelta()) {
    auto it = byName.find(kRootMotionBone);
    if (it == byName.end()) {
      out.rootMotionLost = true;
    } else {
      root = it->second;
      out.rootMotionApplied = true;
    }
  }

  static const std::vector<XAnimRotationKey> kNoRotations;
  static const std::vector<XAnimTranslationKey> kNoTranslations;
  for (size_t i = 0; i < skeleton.size(); ++i) {
    if (driver[i] == nullptr && i != root) continue;
    const std::vector<XAnimRotationKey>* rotations = driver[i] ? &driver[i]->rotations : &kNoRotations;
    const std::vector<XAnimTranslationKey>* translations =
        driver[i] ? &driver[i]->translations : &kNoTranslations;
    if (i == root) {
      // The root motion replaces what the bone's own tracks hold, kind by kind.
      if (!anim.deltaRotations.empty()) rotations = &anim.deltaRotations;
      if (!anim.deltaTranslations.empty()) translations = &anim.deltaTranslations;
    }
    out.rotations.push_back(Rotations(i, *rotations, skeleton[i].rotation, anim.fps));
    // The delta tracks are offsets in every type.
    const bool local = anim.TranslationIsLocal() && translations != &anim.deltaTranslations;
    out.translations.push_back(Translations(i, *translations, skeleton[i].translation, local, anim.fps));
  }
  return out;
}

std::string ListedNames(const std::vector<std::string>& names) {
  constexpr size_t kListed = 20;
  std::string out;
  for (size_t i = 0; i < names.size() && i < kListed; ++i) out += (i == 0 ? "" : ", ") + names[i];
  if (names.size() > kListed) out += " … and " + std::to_string(names.size() - kListed) + " more";
  return out;
}

std::vector<std::string> AnimationWarnings(const SkeletonAnimation& animation, size_t boneCount,
                                           const std::string& animName, const std::string& models) {
  std::vector<std::string> warnings;
  if (!animation.missingBones.empty())
    warnings.push_back(animName + ": " + std::to_string(animation.missingBones.size()) + " of its " +
                       std::to_string(boneCount) + " bones are not in " + models + ": " +
                       ListedNames(animation.missingBones));
  if (animation.rootMotionLost)
    warnings.push_back(animName + ": " + models + " has no " + kRootMotionBone + " for the root motion");
  return warnings;
}

}  // namespace tessary
