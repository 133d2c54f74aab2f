// Two models joined into one level: where the second skeleton hangs, and how its surfaces
// follow it.
#include <gtest/gtest.h>

#include <cmath>

#include "model/JoinedLevel.h"

namespace tessary {
namespace {

Bone MakeBone(std::string name, int32_t parent, std::array<float, 3> t = {0, 0, 0}, Quat q = {}) {
  Bone b;
  b.name = std::move(name);
  b.parent = parent;
  for (int a = 0; a < 3; ++a) b.translation[a] = t[a];
  b.rotation = q;
  return b;
}

DecodedLevel Arms(uint32_t version) {
  DecodedLevel arms;
  arms.modelName = "viewhands";
  arms.version = version;
  const float h = std::sqrt(0.5f);
  // tag_weapon: a quarter turn about z, one unit along x from the hand.
  arms.bones = {MakeBone("tag_origin", -1), MakeBone("j_hand", 0, {0, 0, 2}), MakeBone("Tag_Weapon", 1, {1, 0, 0}, {0, 0, h, h})};
  arms.materials = {{"skin", ""}};
  DecodedSurface s;
  s.vertices.resize(1);
  s.material = 0;
  arms.surfaces = {s};
  return arms;
}

DecodedLevel Weapon(uint32_t version) {
  DecodedLevel gun;
  gun.modelName = "viewmodel_gun";
  gun.version = version;
  gun.bones = {MakeBone("tag_weapon", -1), MakeBone("j_gun", 0, {0, 0, 0}), MakeBone("tag_clip", -1), MakeBone("j_clip", 2)};
  gun.materials = {{"gun", ""}, {"clip", ""}};
  DecodedSurface s;
  s.vertices.resize(2);
  s.vertices[0].bone = 1;
  s.vertices[0].position[0] = 1;
  s.vertices[0].normal[0] = 1;
  s.vertices[0].influenceCount = 1;
  s.vertices[1].bone = 3;
  s.vertices[1].position[1] = 1;
  s.influences = {{3, 0.25f}};
  s.material = 1;
  gun.surfaces = {s};
  return gun;
}

TEST(JoinedLevel, SecondSkeletonHangsBelowTheBoneOfItsRootsName) {
  const JoinResult r = JoinLevels(Arms(20), Weapon(20));
  ASSERT_EQ(r.error, "");
  const DecodedLevel& l = r.level;
  EXPECT_EQ(l.modelName, "viewhands");
  ASSERT_EQ(l.bones.size(), 7u);
  EXPECT_EQ(l.bones[3].name, "tag_weapon");
  EXPECT_EQ(l.bones[3].parent, 2);  // the first's Tag_Weapon, ignoring case
  EXPECT_EQ(l.bones[4].parent, 3);
  EXPECT_EQ(l.bones[5].parent, 2);  // no tag_clip in the arms: their tag_weapon
  EXPECT_EQ(l.bones[6].parent, 5);
  ASSERT_EQ(l.materials.size(), 3u);
  EXPECT_EQ(l.materials[2].name, "clip");
  ASSERT_EQ(l.surfaces.size(), 2u);
  const DecodedSurface& s = l.surfaces[1];
  EXPECT_EQ(s.material, 2);
  EXPECT_EQ(s.vertices[0].bone, 4);
  EXPECT_EQ(s.vertices[1].bone, 6);
  EXPECT_EQ(s.influences[0].bone, 6);
  // Bone-relative positions (version 20) are left as stored: the bones carry them.
  EXPECT_EQ(s.vertices[0].position[0], 1);
}

TEST(JoinedLevel, ModelSpacePositionsMoveWithTheBoneTheyHangFrom) {
  const JoinResult r = JoinLevels(Arms(25), Weapon(25));
  ASSERT_EQ(r.error, "");
  const DecodedVertex& onGun = r.level.surfaces[1].vertices[0];
  // (1, 0, 0) turned a quarter about z and moved to tag_weapon's place (1, 0, 2).
  EXPECT_NEAR(onGun.position[0], 1, 1e-6);
  EXPECT_NEAR(onGun.position[1], 1, 1e-6);
  EXPECT_NEAR(onGun.position[2], 2, 1e-6);
  EXPECT_NEAR(onGun.normal[0], 0, 1e-6);
  EXPECT_NEAR(onGun.normal[1], 1, 1e-6);
  // The clip's root hangs from tag_weapon as well.
  const DecodedVertex& onClip = r.level.surfaces[1].vertices[1];
  EXPECT_NEAR(onClip.position[0], 0, 1e-6);
  EXPECT_NEAR(onClip.position[1], 0, 1e-6);
  EXPECT_NEAR(onClip.position[2], 2, 1e-6);
}

TEST(JoinedLevel, WithoutTagWeaponUnmatchedRootsHangFromTheFirstRoot) {
  DecodedLevel arms = Arms(25);
  arms.bones.pop_back();
  arms.bones.insert(arms.bones.begin(), MakeBone("tag_view", -1));  // the first root
  arms.bones[1].parent = -1;  // a second root
  arms.bones[2].parent = 1;
  const JoinResult r = JoinLevels(arms, Weapon(25));
  ASSERT_EQ(r.error, "");
  EXPECT_EQ(r.level.bones[3].name, "tag_weapon");
  EXPECT_EQ(r.level.bones[3].parent, 0);
  EXPECT_EQ(r.level.bones[5].parent, 0);
  EXPECT_FLOAT_EQ(r.level.surfaces[1].vertices[0].position[0], 1);  // the root is at the origin
}

TEST(JoinedLevel, DifferentVersionsAreNotJoined) {
  const JoinResult r = JoinLevels(Arms(20), Weapon(14));
  EXPECT_EQ(r.error, "Cannot join viewmodel_gun (version 14) to viewhands (version 20): their versions differ.");
}

}  // namespace
}  // namespace tessary
