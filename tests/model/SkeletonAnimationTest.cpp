// An animation laid onto a skeleton: which bones it drives, how stored keys combine with
// the bind pose, key times, sign continuity and root motion.
#include <gtest/gtest.h>

#include <cmath>

#include "model/SkeletonAnimation.h"

namespace tessary {
namespace {

using Vec = std::vector<std::array<float, 3>>;

std::vector<Bone> Skeleton() {
  return {{"tag_origin"}, {"J_Hip", 0, {0, 0, 40}, {0, 0, 0.6f, 0.8f}},
          {"j_knee", 1, {0, 0, -20}, {0.6f, 0, 0, 0.8f}}, {"j_hip", 0, {1, 1, 1}}};
}

template <typename Channel>
const Channel* Of(const std::vector<Channel>& channels, size_t bone) {
  for (const auto& c : channels)
    if (c.bone == bone) return &c;
  return nullptr;
}

TEST(SkeletonAnimation, DrivesBonesByNameIgnoringCaseWithTheBindPoseUnderneath) {
  // The skeleton spells the hip J_Hip first, then j_hip: the first takes it. The hip keeps
  // its bind rotation and adds its translations to the bind's; the knee's rotations replace
  // its bind rotation and it keeps the bind's translation. (The animated glTF export test
  // checks the key times and the channels of bones with identity binds.)
  const XAnim anim{.name = "walk", .frames = 10, .fps = 20,
                   .bones = {{.name = "j_hip", .translations = {{0, {1, 2, 3}}, {4, {-1, 0, 0}}}},
                             {.name = "j_gun"},
                             {.name = "J_KNEE", .rotations = {{0, {0, 0, 0, 1}}, {9, {0.6f, 0, 0, 0.8f}}}}}};
  const SkeletonAnimation s = AnimateSkeleton(anim, Skeleton(), true);
  EXPECT_DOUBLE_EQ(s.duration, 9.0 / 20);
  EXPECT_EQ(s.missingBones, (std::vector<std::string>{"j_gun"}));
  ASSERT_EQ(s.rotations.size(), 2u);  // one channel of each kind per driven bone, in skeleton order
  ASSERT_EQ(s.translations.size(), 2u);
  EXPECT_EQ((std::vector<size_t>{s.rotations[0].bone, s.rotations[1].bone, s.translations[0].bone}), (std::vector<size_t>{1, 2, 1}));
  EXPECT_FLOAT_EQ(s.rotations[0].values.at(0).z, 0.6f);
  EXPECT_FLOAT_EQ(s.rotations[1].values.at(1).x, 0.6f);
  EXPECT_EQ(s.translations[0].values, (Vec{{1, 2, 43}, {-1, 0, 40}}));
  EXPECT_EQ(s.translations[1].values, (Vec{{0, 0, -20}}));
}

TEST(SkeletonAnimation, NeighbouringKeysShareTheirSign) {
  // A stored key's w is never negative: a rotation past half a turn is stored negated.
  // Key 1 continues key 0 past it; key 2 continues key 1 as stored; key 3 is a quarter
  // turn about another axis, which the shorter way reaches from key 2 negated.
  const XAnim anim{.frames = 4, .fps = 30,
                   .bones = {{.name = "j_knee", .flipped = true,
                              .rotations = {{0, {0.96f, 0, 0, 0.28f}}, {1, {-0.96f, 0, 0, 0.28f}},
                                            {2, {-0.8f, 0, 0, 0.6f}}, {3, {0, 0.6f, 0, 0.8f}}}}}};
  const std::vector<Quat> q = Of(AnimateSkeleton(anim, Skeleton(), true).rotations, 2)->values;
  ASSERT_EQ(q.size(), 4u);
  const float got[] = {q[0].x, q[1].x, q[1].w, q[2].x, q[2].w, q[3].y, q[3].w};
  const float want[] = {0.96f, 0.96f, -0.28f, 0.8f, -0.6f, -0.6f, -0.8f};
  for (size_t i = 0; i < 7; ++i) EXPECT_FLOAT_EQ(got[i], want[i]) << i;
}

TEST(SkeletonAnimation, KeysThatDoNotAdvanceAreLeftOutAndRotationsComeOutOfUnitLength) {
  const XAnim anim{.frames = 5, .fps = 10,
                   .bones = {{.name = "j_hip",
                              .rotations = {{0, {-1, -1, 0, 0}}},  // two words at their limit
                              .translations = {{0, {1, 0, 0}}, {3, {2, 0, 0}}, {3, {3, 0, 0}}, {1, {4, 0, 0}}, {4, {5, 0, 0}}}}}};
  const SkeletonAnimation s = AnimateSkeleton(anim, Skeleton(), true);
  EXPECT_EQ(Of(s.translations, 1)->times, (std::vector<float>{0, 0.3f, 0.4f}));
  EXPECT_EQ(Of(s.translations, 1)->values.back()[0], 5);
  EXPECT_FLOAT_EQ(Of(s.rotations, 1)->values[0].x, -std::sqrt(0.5f));
  EXPECT_FLOAT_EQ(Of(s.rotations, 1)->values[0].y, -std::sqrt(0.5f));
}

TEST(SkeletonAnimation, RootMotionDrivesTagOrigin) {
  XAnim anim{.frames = 30, .flags = XAnim::kDelta, .fps = 30, .deltaTranslations = {{0, {0, 0, 0}}, {29, {50, 0, 0}}},
             .bones = {{.name = "TAG_ORIGIN", .rotations = {{0, {0, 0, 0.1f, std::sqrt(0.99f)}}},
                        .translations = {{0, {5, 5, 5}}}},
                       {.name = "j_hip"}}};
  SkeletonAnimation s = AnimateSkeleton(anim, Skeleton(), true);
  EXPECT_FALSE(s.rootMotionLost);
  EXPECT_TRUE(s.rootMotionApplied);
  // The delta translation replaces the bone's own; with no delta rotation its own stays.
  EXPECT_EQ(Of(s.translations, 0)->values, (Vec{{0, 0, 0}, {50, 0, 0}}));
  EXPECT_EQ(Of(s.translations, 0)->times, (std::vector<float>{0, 29 / 30.0f}));
  EXPECT_FLOAT_EQ(Of(s.rotations, 0)->values[0].z, 0.1f);

  anim.deltaRotations = {{0, {0, 0, 0, 1}}, {15, {0, 0, -0.5f, std::sqrt(0.75f)}}};
  s = AnimateSkeleton(anim, Skeleton(), true);
  EXPECT_EQ(Of(s.rotations, 0)->values.size(), 2u);
  EXPECT_FLOAT_EQ(Of(s.rotations, 0)->values[1].z, -0.5f);

  // Without root motion tag_origin has only its own tracks.
  s = AnimateSkeleton(anim, Skeleton(), false);
  EXPECT_FALSE(s.rootMotionApplied || s.rootMotionLost);
  EXPECT_EQ(Of(s.translations, 0)->values, (Vec{{5, 5, 5}}));

  // A skeleton without tag_origin loses it, and says so.
  std::vector<Bone> noOrigin = Skeleton();
  noOrigin[0].name = "root";
  s = AnimateSkeleton(anim, noOrigin, true);
  EXPECT_TRUE(s.rootMotionLost);
  EXPECT_FALSE(s.rootMotionApplied);
  EXPECT_EQ(s.rotations.size(), 1u);
}

}  // namespace
}  // namespace tessary
