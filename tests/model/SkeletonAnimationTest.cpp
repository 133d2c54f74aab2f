// An animation laid onto a skeleton: which bones it drives, how stored keys combine with
// the bind pose, key times, sign continuity and root motion.
#include <gtest/gtest.h>

#include <cmath>

#include "model/SkeletonAnimation.h"

namespace tessary {
namespace {

Bone MakeBone(std::string name, int32_t parent, std::array<float, 3> t, Quat q = {}) {
  Bone b;
  b.name = std::move(name);
  b.parent = parent;
  for (int a = 0; a < 3; ++a) b.translation[a] = t[a];
  b.rotation = q;
  return b;
}

std::vector<Bone> Skeleton() {
  return {MakeBone("tag_origin", -1, {0, 0, 0}), MakeBone("J_Hip", 0, {0, 0, 40}, {0, 0, 0.6f, 0.8f}),
          MakeBone("j_knee", 1, {0, 0, -20}, {0.6f, 0, 0, 0.8f}), MakeBone("j_hip", 0, {1, 1, 1})};
}

XAnimRotationKey RotKey(uint16_t frame, Quat q) { return {frame, q}; }
XAnimTranslationKey PosKey(uint16_t frame, float x, float y, float z) { return {frame, {x, y, z}}; }

const RotationChannel* RotationsOf(const SkeletonAnimation& s, size_t bone) {
  for (const auto& c : s.rotations)
    if (c.bone == bone) return &c;
  return nullptr;
}
const TranslationChannel* TranslationsOf(const SkeletonAnimation& s, size_t bone) {
  for (const auto& c : s.translations)
    if (c.bone == bone) return &c;
  return nullptr;
}

TEST(SkeletonAnimation, DrivesBonesByNameIgnoringCaseWithTheBindPoseUnderneath) {
  XAnim anim;
  anim.name = "walk";
  anim.frames = 10;
  anim.fps = 20;
  XAnimBone hip;
  hip.name = "j_hip";  // the skeleton spells it J_Hip first, then j_hip: the first takes it
  hip.translations = {PosKey(0, 1, 2, 3), PosKey(4, -1, 0, 0)};
  XAnimBone knee;
  knee.name = "J_KNEE";
  knee.rotations = {RotKey(0, {0, 0, 0, 1}), RotKey(9, {0.6f, 0, 0, 0.8f})};
  XAnimBone gun;
  gun.name = "j_gun";
  anim.bones = {hip, gun, knee};

  const SkeletonAnimation s = AnimateSkeleton(anim, Skeleton(), true);
  EXPECT_EQ(s.name, "walk");
  EXPECT_DOUBLE_EQ(s.duration, 9.0 / 20);
  EXPECT_EQ(s.missingBones, (std::vector<std::string>{"j_gun"}));
  ASSERT_EQ(s.rotations.size(), 2u);  // one channel of each kind per driven bone, in skeleton order
  ASSERT_EQ(s.translations.size(), 2u);
  EXPECT_EQ(s.rotations[0].bone, 1u);
  EXPECT_EQ(s.rotations[1].bone, 2u);
  EXPECT_EQ(RotationsOf(s, 3), nullptr);

  // The hip has no rotation keys: it keeps its bind rotation; its translations add to the bind's.
  const RotationChannel& hipRot = *RotationsOf(s, 1);
  EXPECT_EQ(hipRot.times, (std::vector<float>{0}));
  EXPECT_FLOAT_EQ(hipRot.values[0].z, 0.6f);
  EXPECT_FLOAT_EQ(hipRot.values[0].w, 0.8f);
  const TranslationChannel& hipPos = *TranslationsOf(s, 1);
  EXPECT_EQ(hipPos.times, (std::vector<float>{0, 0.2f}));
  EXPECT_EQ(hipPos.values[0], (std::array<float, 3>{1, 2, 43}));
  EXPECT_EQ(hipPos.values[1], (std::array<float, 3>{-1, 0, 40}));

  // The knee's stored rotations replace its bind rotation; no translation keys keep the bind's.
  const RotationChannel& kneeRot = *RotationsOf(s, 2);
  EXPECT_EQ(kneeRot.times, (std::vector<float>{0, 9 / 20.0f}));
  EXPECT_FLOAT_EQ(kneeRot.values[0].w, 1);
  EXPECT_FLOAT_EQ(kneeRot.values[1].x, 0.6f);
  EXPECT_EQ(TranslationsOf(s, 2)->values, (std::vector<std::array<float, 3>>{{0, 0, -20}}));
}

TEST(SkeletonAnimation, NeighbouringKeysShareTheirSign) {
  XAnim anim;
  anim.frames = 4;
  anim.fps = 30;
  XAnimBone knee;
  knee.name = "j_knee";
  knee.flipped = true;
  // A stored key's w is never negative: a rotation past half a turn is stored negated.
  // Key 1 continues key 0 past it; key 2 continues key 1 as stored; key 3 is a quarter
  // turn about another axis, which the shorter way reaches from key 2 negated.
  knee.rotations = {RotKey(0, {0.96f, 0, 0, 0.28f}), RotKey(1, {-0.96f, 0, 0, 0.28f}),
                    RotKey(2, {-0.8f, 0, 0, 0.6f}), RotKey(3, {0, 0.6f, 0, 0.8f})};
  anim.bones = {knee};
  const SkeletonAnimation s = AnimateSkeleton(anim, Skeleton(), true);
  const RotationChannel& r = *RotationsOf(s, 2);
  ASSERT_EQ(r.values.size(), 4u);
  EXPECT_FLOAT_EQ(r.values[0].x, 0.96f);
  EXPECT_FLOAT_EQ(r.values[1].x, 0.96f);
  EXPECT_FLOAT_EQ(r.values[1].w, -0.28f);
  EXPECT_FLOAT_EQ(r.values[2].x, 0.8f);
  EXPECT_FLOAT_EQ(r.values[2].w, -0.6f);
  EXPECT_FLOAT_EQ(r.values[3].y, -0.6f);
  EXPECT_FLOAT_EQ(r.values[3].w, -0.8f);
  for (size_t k = 1; k < r.values.size(); ++k) {
    const Quat &a = r.values[k - 1], &b = r.values[k];
    EXPECT_GE(a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w, 0) << k;
  }
}

TEST(SkeletonAnimation, RootMotionDrivesTagOrigin) {
  XAnim anim;
  anim.frames = 30;
  anim.fps = 30;
  anim.flags = XAnim::kDelta;
  anim.deltaTranslations = {PosKey(0, 0, 0, 0), PosKey(29, 50, 0, 0)};
  XAnimBone origin;
  origin.name = "TAG_ORIGIN";
  origin.rotations = {RotKey(0, {0, 0, 0.1f, std::sqrt(0.99f)})};
  origin.translations = {PosKey(0, 5, 5, 5)};
  XAnimBone hip;
  hip.name = "j_hip";
  anim.bones = {origin, hip};

  SkeletonAnimation s = AnimateSkeleton(anim, Skeleton(), true);
  EXPECT_FALSE(s.rootMotionLost);
  EXPECT_TRUE(s.rootMotionApplied);
  // The delta translation replaces the bone's own; with no delta rotation its own stays.
  EXPECT_EQ(TranslationsOf(s, 0)->values, (std::vector<std::array<float, 3>>{{0, 0, 0}, {50, 0, 0}}));
  EXPECT_EQ(TranslationsOf(s, 0)->times, (std::vector<float>{0, 29 / 30.0f}));
  EXPECT_FLOAT_EQ(RotationsOf(s, 0)->values[0].z, 0.1f);

  anim.deltaRotations = {RotKey(0, {0, 0, 0, 1}), RotKey(15, {0, 0, -0.5f, std::sqrt(0.75f)})};
  s = AnimateSkeleton(anim, Skeleton(), true);
  EXPECT_EQ(RotationsOf(s, 0)->values.size(), 2u);
  EXPECT_FLOAT_EQ(RotationsOf(s, 0)->values[1].z, -0.5f);

  // Without root motion tag_origin has only its own tracks.
  s = AnimateSkeleton(anim, Skeleton(), false);
  EXPECT_FALSE(s.rootMotionApplied || s.rootMotionLost);
  EXPECT_EQ(TranslationsOf(s, 0)->values, (std::vector<std::array<float, 3>>{{5, 5, 5}}));
  EXPECT_EQ(RotationsOf(s, 0)->values.size(), 1u);

  // A tag_origin the animation does not name still takes the root motion.
  anim.bones = {hip};
  s = AnimateSkeleton(anim, Skeleton(), true);
  ASSERT_NE(TranslationsOf(s, 0), nullptr);
  EXPECT_EQ(TranslationsOf(s, 0)->values.size(), 2u);
  EXPECT_EQ(AnimateSkeleton(anim, Skeleton(), false).rotations.size(), 1u);

  // A skeleton without tag_origin loses it, and says so.
  std::vector<Bone> noOrigin = Skeleton();
  noOrigin[0].name = "root";
  s = AnimateSkeleton(anim, noOrigin, true);
  EXPECT_TRUE(s.rootMotionLost);
  EXPECT_FALSE(s.rootMotionApplied);
  EXPECT_EQ(s.rotations.size(), 1u);
}

TEST(SkeletonAnimation, RotationsComeOutOfUnitLength) {
  XAnim anim;
  anim.frames = 1;
  XAnimBone knee;
  knee.name = "j_knee";
  knee.rotations = {RotKey(0, {-1, -1, 0, 0})};  // two words at their limit
  anim.bones = {knee};
  const Quat q = RotationsOf(AnimateSkeleton(anim, Skeleton(), true), 2)->values[0];
  EXPECT_FLOAT_EQ(q.x, -std::sqrt(0.5f));
  EXPECT_FLOAT_EQ(q.y, -std::sqrt(0.5f));
}

TEST(SkeletonAnimation, KeysThatDoNotAdvanceAreLeftOut) {
  XAnim anim;
  anim.frames = 5;
  anim.fps = 10;
  XAnimBone hip;
  hip.name = "j_hip";
  hip.translations = {PosKey(0, 1, 0, 0), PosKey(3, 2, 0, 0), PosKey(3, 3, 0, 0), PosKey(1, 4, 0, 0), PosKey(4, 5, 0, 0)};
  anim.bones = {hip};
  const SkeletonAnimation s = AnimateSkeleton(anim, Skeleton(), true);
  EXPECT_EQ(TranslationsOf(s, 1)->times, (std::vector<float>{0, 0.3f, 0.4f}));
  EXPECT_EQ(TranslationsOf(s, 1)->values.back()[0], 5);
}

}  // namespace
}  // namespace tessary
