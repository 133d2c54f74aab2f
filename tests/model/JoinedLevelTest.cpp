// Two models joined into one level: where the second skeleton hangs, and how its surfaces
// follow it.
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "model/JoinedLevel.h"

namespace tessary {
namespace {

// The arms: tag_weapon turned a quarter about z, one unit along x from the hand at (0, 0, 2).
DecodedLevel Arms(uint32_t version) {
  const float h = std::sqrt(0.5f);
  return {.modelName = "viewhands", .version = version,
          .bones = {{"tag_origin"}, {"j_hand", 0, {0, 0, 2}}, {"Tag_Weapon", 1, {1, 0, 0}, {0, 0, h, h}}},
          .surfaces = {{.vertices = {{}}, .material = 0}}, .materials = {{"skin", ""}}};
}

// The weapon: roots tag_weapon and tag_clip with a bone each, and a vertex on each bone.
DecodedLevel Weapon(uint32_t version) {
  DecodedSurface s{.vertices = {{.position = {1, 0, 0}, .normal = {1, 0, 0}, .bone = 1, .influenceCount = 1},
                                {.position = {0, 1, 0}, .bone = 3}},
                   .influences = {{3, 0.25f}}, .material = 1};
  return {.modelName = "viewmodel_gun", .version = version,
          .bones = {{"tag_weapon"}, {"j_gun", 0}, {"tag_clip"}, {"j_clip", 2}},
          .surfaces = {s}, .materials = {{"gun", ""}, {"clip", ""}}};
}

void ExpectNear(const float* got, std::array<float, 3> want) {
  for (size_t a = 0; a < 3; ++a) EXPECT_NEAR(got[a], want[a], 1e-6) << "axis " << a;
}

std::vector<int32_t> Parents(const DecodedLevel& l) {
  std::vector<int32_t> out;
  for (const Bone& b : l.bones) out.push_back(b.parent);
  return out;
}

TEST(JoinedLevel, SecondSkeletonHangsBelowTheBoneOfItsRootsName) {
  // Bone-relative positions (version 20) stay as stored: the bones carry them. Model-space
  // ones (25) turn a quarter about z and move to tag_weapon's place (1, 0, 2).
  const struct { uint32_t version; std::array<float, 3> gun, gunNormal, clip; } cases[] = {
      {20, {1, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {25, {1, 1, 2}, {0, 1, 0}, {0, 0, 2}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.version);
    const JoinResult r = JoinLevels(Arms(c.version), Weapon(c.version));
    ASSERT_EQ(r.error, "");
    EXPECT_EQ(r.level.modelName, "viewhands");
    // tag_weapon below the arms' Tag_Weapon (ignoring case); tag_clip, unmatched, there too.
    EXPECT_EQ(Parents(r.level), (std::vector<int32_t>{-1, 0, 1, 2, 3, 2, 5}));
    ASSERT_EQ(r.level.materials.size(), 3u);
    EXPECT_EQ(r.level.materials[2].name, "clip");
    ASSERT_EQ(r.level.surfaces.size(), 2u);
    const DecodedSurface& s = r.level.surfaces[1];
    EXPECT_EQ(s.material, 2);
    EXPECT_EQ(s.vertices[0].bone, 4);
    EXPECT_EQ(s.vertices[1].bone, 6);
    EXPECT_EQ(s.influences[0].bone, 6);
    ExpectNear(s.vertices[0].position, c.gun);
    ExpectNear(s.vertices[0].normal, c.gunNormal);
    ExpectNear(s.vertices[1].position, c.clip);
  }
}

TEST(JoinedLevel, WithoutTagWeaponUnmatchedRootsHangFromTheFirstRoot) {
  DecodedLevel arms = Arms(25);
  arms.bones = {{"tag_view"}, {"tag_origin"}, {"j_hand", 1, {0, 0, 2}}};
  const JoinResult r = JoinLevels(arms, Weapon(25));
  ASSERT_EQ(r.error, "");
  EXPECT_EQ(Parents(r.level), (std::vector<int32_t>{-1, -1, 1, 0, 3, 0, 5}));
  ExpectNear(r.level.surfaces[1].vertices[0].position, {1, 0, 0});  // the root is at the origin
  EXPECT_EQ(JoinLevels(Arms(20), Weapon(14)).error,
            "Cannot join viewmodel_gun (version 14) to viewhands (version 20): their versions differ.");
}

}  // namespace
}  // namespace tessary
