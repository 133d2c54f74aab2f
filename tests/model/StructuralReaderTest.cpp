// The structural reader, the skinned geometry, and two models joined into one level.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <iomanip>
#include <sstream>

#include "fixtures/StructuralWriter.h"
#include "fixtures/TempWorkdir.h"
#include "fixtures/V14Writer.h"
#include "fixtures/V20Writer.h"
#include "model/JoinedLevel.h"
#include "model/SkinnedGeometry.h"
#include "model/StructuralReader.h"
#include "platform/Disk.h"

namespace tessary {
namespace {

namespace st = test::structural;
using test::ByteWriter;

// A quarter turn about one axis as stored: that axis's word is sin 45° · 32768.
constexpr int16_t kQuarter = 23170;

// Stored rotations are quantised: 2e-3 is near enough for them.
void ExpectNear(const float* got, const Vec3& want, float tolerance = 2e-3f) {
  for (size_t i = 0; i < 3; ++i) EXPECT_NEAR(got[i], want[i], tolerance) << "component " << i;
}

// Each surface in one line: material, per vertex bone/influence count(position), the
// influences and the triangles.
std::string Describe(const DecodedLevel& level) {
  std::ostringstream out;
  for (const DecodedSurface& s : level.surfaces) {
    out << "m" << s.material << ":";
    for (const DecodedVertex& v : s.vertices)
      out << " " << +v.bone << "/" << +v.influenceCount << "(" << v.position[0] << " " << v.position[1] << " " << v.position[2] << ")";
    out << " |" << std::setprecision(3);
    for (const BoneInfluence& in : s.influences) out << " " << +in.bone << ":" << in.weight;
    out << " |" << std::setprecision(6);
    for (uint32_t i : s.triangles) out << " " << i;
    out << "\n";
  }
  return out.str();
}

// One rigid triangle of three copies of `v` on `bone`.
st::Surface Tri(uint16_t bone = 0, const st::Vertex& v = {}) {
  return {.bone = bone, .vertices = {v, v, v}, .triangles = {{0, 1, 2}}};
}

class StructuralReader : public ::testing::Test {
 protected:
  // Header `model` naming the one level `level`, and that level's parts and surfaces files.
  void Write(const std::string& model, uint16_t version, const st::Level& level, const ByteWriter& parts,
             const ByteWriter& surfaces, uint32_t records = 0) {
    wd.Write("xmodel/" + model, st::Header(version, {level}, records));
    wd.Write("xmodelparts/" + level.name, parts);
    wd.Write("xmodelsurfs/" + level.name, surfaces);
  }
  std::optional<DecodedLevel> Read(const std::string& model, std::optional<int> lod = std::nullopt) {
    error.clear();
    Disk disk;
    return ReadStructuralLevel(disk, wd.Str(), model, lod, error);
  }
  test::TempWorkdir wd;
  std::string error;
};

TEST_F(StructuralReader, RotatedParentMovesChildAndItsVertices) {
  // Root; "arm" 10 along x turned a quarter about z; "hand" 5 along the arm's x, turned a
  // quarter about its own x. A vertex 1 along the hand's x ends at (10, 6, 0), its normal
  // turned from x to y; one 1 along the hand's y at (10, 5, 1).
  Write("arm", 20, {"arm0", {"mtl_skin"}},
        st::Parts(20, {"tag_origin"}, {{"arm", {.parent = 0, .translation = {10, 0, 0}, .rotation = {0, 0, kQuarter}}},
                                       {"hand", {.parent = 1, .translation = {5, 0, 0}, .rotation = {kQuarter, 0, 0}}}}),
        st::Surfaces20({{.bone = 2,
                         .vertices = {{.normal = {1, 0, 0}, .position = {1, 0, 0}}, {.position = {0, 1, 0}}, {}},
                         .triangles = {{0, 1, 2}}}}));
  auto level = Read("arm");
  ASSERT_TRUE(level) << error;
  ASSERT_EQ(level->bones.size(), 3u);
  ExpectNear(WorldPoses(level->bones)[2].translation.data(), {10, 5, 0});
  const auto skinned = SkinnedVertices(*level);
  ExpectNear(skinned[0][0].position.data(), {10, 6, 0});
  ExpectNear(skinned[0][0].normal.data(), {0, 1, 0});
  ExpectNear(skinned[0][1].position.data(), {10, 5, 1});
  ExpectNear(SkinnedVertices(*level, 0.5f)[0][0].position.data(), {5, 3, 0});  // scaled: lengths shrink, directions stay
}

TEST_F(StructuralReader, SeveralRootsComeFirstAndParentsCountThem) {
  // Three roots, then a bone whose parent index 2 is the third root; version 14 names carry
  // 24 more bytes each.
  Write("rig", 14, {"rig1", {"skin.dds"}},
        st::Parts(14, {"tag_weapon", "tag_flash", "tag_view"}, {{"barrel", {.parent = 2, .translation = {0, 0, 7}}}}),
        test::v14::Surfaces({{3, {{0, 1, 2}}, std::vector(3, std::array<float, 8>{0, 0, 1, 0, 0, 0, 0, 1})}}));
  auto level = Read("rig");
  ASSERT_TRUE(level) << error;
  std::string bones;
  for (const Bone& b : level->bones) bones += b.name + "/" + std::to_string(b.parent) + " ";
  EXPECT_EQ(bones, "tag_weapon/-1 tag_flash/-1 tag_view/-1 barrel/2 ");
  ExpectNear(SkinnedVertices(*level)[0][0].position.data(), {0, 0, 8});

  // Without roots the first bone has no bone before it to hang from; an unnamed one is
  // tag_origin. Stored words are parts of 32768: 16384 is a half. A vertex on a bone past
  // the last follows the first.
  Write("bare", 20, {"bare0", {"mtl_a"}},
        st::Parts(20, {}, {{"", {.parent = 0, .translation = {7, 0, 0}, .rotation = {0, 0, 16384}}}, {"tip", {.parent = 0}}}),
        st::Surfaces20({Tri(2, {.position = {0, 0, 1}})}));
  level = Read("bare");
  ASSERT_TRUE(level) << error;
  bones.clear();
  for (const Bone& b : level->bones) bones += b.name + "/" + std::to_string(b.parent) + " ";
  EXPECT_EQ(bones, "tag_origin/-1 tip/0 ");
  EXPECT_EQ(level->bones[0].rotation.z, 0.5f);
  ExpectNear(SkinnedVertices(*level)[0][0].position.data(), {7, 0, 1});
}

TEST(StrongestInfluences, OwnBoneTakesTheRestAndFourStrongestAreRenormalised) {
  // A vertex on bone 1 of a 10-bone skeleton with these extra influences.
  const struct { const char* what; std::vector<BoneInfluence> extra; std::array<uint16_t, 4> joints; std::array<float, 4> weights; } cases[] = {
      {"0.75 stored leaves 0.25 to the own bone; bone 5 twice adds up; equal weights keep the file's order",
       {{5, 0.1f}, {5, 0.2f}, {7, 0.3f}, {9, 0.15f}}, {5, 7, 1, 9}, {0.3f, 0.3f, 0.25f, 0.15f}},
      {"five distinct bones: the weakest goes, the rest are scaled to a sum of 1",
       {{2, 0.1f}, {3, 0.2f}, {4, 0.3f}, {6, 0.15f}}, {4, 1, 3, 6}, {0.3f / 0.9f, 0.25f / 0.9f, 0.2f / 0.9f, 0.15f / 0.9f}},
      {"above 1 leaves the own bone nothing; a bone outside the skeleton becomes 0",
       {{3, 0.7f}, {40, 0.6f}}, {3, 0, 0, 0}, {0.7f / 1.3f, 0.6f / 1.3f, 0, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const DecodedSurface s{.influences = c.extra};
    const DecodedVertex v{.bone = 1, .firstInfluence = 0, .influenceCount = uint8_t(c.extra.size())};
    const JointWeights jw = StrongestInfluences(s, v, 10);
    EXPECT_EQ(jw.joints, c.joints);
    for (size_t i = 0; i < 4; ++i) EXPECT_NEAR(jw.weights[i], c.weights[i], 1e-6f) << i;
  }
}

TEST_F(StructuralReader, Version20WeightedVerticesCarryTheirInfluences) {
  // The record after the influences is in step; a rigid surface binds every vertex to its bone.
  const st::Vertex plain{.uv = {0.25f, 0.75f}, .position = {1, 2, 3}, .bone = 1};
  const st::Vertex blended{.position = {4, 5, 6}, .bone = 2, .influences = {{1, 0x4000}, {0, 0x2000}}};
  Write("soldier", 20, {"soldier0", {"mtl_a", "mtl_b"}}, st::Parts(20, {"tag_origin"}, {{"a", {}}, {"b", {}}}),
        st::Surfaces20({{.weighted = true, .vertices = {plain, blended, plain}, .triangles = {{0, 1, 2}}},
                        {.bone = 1, .vertices = {plain, plain, plain}, .triangles = {{2, 1, 0}}}}));
  auto level = Read("soldier");
  ASSERT_TRUE(level) << error;
  EXPECT_EQ(Describe(*level), "m0: 1/0(1 2 3) 2/2(4 5 6) 1/0(1 2 3) | 1:0.25 0:0.125 | 0 1 2\n"
                              "m1: 1/0(1 2 3) 1/0(1 2 3) 1/0(1 2 3) | | 2 1 0\n");
}

TEST_F(StructuralReader, Version25RunListGivesLeadingBonesThenRecordsFollow) {
  // Runs: 2 vertices on bone 1, 1 on bone 2; the fourth vertex names bone 3 itself and
  // carries one influence of half weight on bone 0. The rigid surface is bound to word 4.
  // An optional name precedes the levels; both surfaces name one material: one entry.
  auto at = [](float x, uint16_t bone = 0) { return st::Vertex{.position = {x, 0, 0}, .bone = bone}; };
  st::Vertex last = at(4, 3);
  last.influences = {{0, 0x8000}};
  wd.Write("xmodel/lamp", st::Header(25, {{"lamp1", {"mtl_lamp", "mtl_lamp"}}}, 2, "opt"));
  wd.Write("xmodelparts/lamp1", st::Parts(25, {"root"}, {{"b1", {}}, {"b2", {}}, {"b3", {}}}));
  wd.Write("xmodelsurfs/lamp1", st::Surfaces25({{.weighted = true, .runs = {{2, 1}, {1, 2}},
                                                 .vertices = {at(1, 1), at(2, 1), at(3, 2), last}, .triangles = {{0, 1, 3}}},
                                                {.bone = 2, .vertices = {at(7), at(8), at(9)}, .triangles = {{0, 1, 2}}}}));
  auto level = Read("lamp");
  ASSERT_TRUE(level) << error;
  EXPECT_EQ(Describe(*level), "m0: 1/0(1 0 0) 1/0(2 0 0) 2/0(3 0 0) 3/1(4 0 0) | 0:0.5 | 0 1 3\n"
                              "m0: 2/0(7 0 0) 2/0(8 0 0) 2/0(9 0 0) | | 0 1 2\n");
  EXPECT_EQ(level->materials.size(), 1u);
  // Version 25 positions are in model space already: no bone moves them.
  EXPECT_EQ(SkinnedVertices(*level)[0][3].position[0], 4.0f);
}

TEST_F(StructuralReader, Version14StripsAlternateTheirTurn) {
  // Strip 0 1 2 3 4 stands for (0 1 2), (2 1 3), (2 3 4); a repeated index makes nothing.
  Write("box", 14, {"box1", {"box.dds"}}, st::Parts(14, {"tag_origin"}, {}),
        test::v14::Surfaces({{0, {{0, 1, 2, 3, 4}, {4, 4, 5}}, std::vector<std::array<float, 8>>(6)}}));
  auto level = Read("box");
  ASSERT_TRUE(level) << error;
  EXPECT_EQ(level->surfaces[0].triangles, (std::vector<uint32_t>{0, 1, 2, 2, 1, 3, 2, 3, 4}));
}

TEST_F(StructuralReader, LevelsMaterialsAndImages) {
  // Level 1 by index, the image of its material in images (.dds before .iwi); a 3-letter
  // level name is a level.
  wd.Write("xmodel/gun", st::Header(20, {{"fx1", {"mtl_a"}}, {"gun_lod1", {"mtl_b"}}}));
  wd.Write("xmodelparts/fx1", st::Parts(20, {"tag_origin"}, {}));
  wd.Write("xmodelsurfs/fx1", st::Surfaces20({Tri()}));
  wd.Write("xmodelsurfs/gun_lod1", st::Surfaces20({Tri()}));
  wd.Write("materials/mtl_b", test::v20::Material("gun_col"));
  wd.Write("images/gun_col.iwi", std::vector<uint8_t>{'I', 'W', 'i'});
  auto first = Read("gun");
  ASSERT_TRUE(first) << error;
  EXPECT_EQ(first->surfsName, "fx1");
  EXPECT_EQ(first->materials[0].imagePath, "");  // no material file
  auto second = Read("gun", 1);
  ASSERT_TRUE(second) << error;
  EXPECT_EQ(std::filesystem::path(second->materials[0].imagePath).filename(), "gun_col.iwi");
  wd.Write("images/gun_col.dds", std::vector<uint8_t>{'D', 'D', 'S', ' '});
  EXPECT_EQ(std::filesystem::path(Read("gun", 1)->materials[0].imagePath).filename(), "gun_col.dds");
  EXPECT_FALSE(Read("gun", 2));
  EXPECT_NE(error.find("has no level of detail 2"), std::string::npos) << error;
  // More surfaces than the level names materials: the rest have none.
  wd.Write("xmodel/two", st::Header(20, {{"two0", {"mtl_a"}}}));
  wd.Write("xmodelsurfs/two0", st::Surfaces20({Tri(), Tri()}));
  auto two = Read("two");
  ASSERT_TRUE(two) << error;
  EXPECT_EQ((std::vector<int32_t>{two->surfaces.at(0).material, two->surfaces.at(1).material}), (std::vector<int32_t>{0, -1}));
  EXPECT_EQ(two->materials.size(), 1u);
}

TEST_F(StructuralReader, LevelNamesWithFolderStepsAreRefusedMaterialNamesNotLookedUp) {
  wd.Write("xmodelsurfs/ok1", st::Surfaces20({Tri()}));
  wd.Write("xmodel/up", st::Header(20, {{"../xmodelsurfs/ok1", {"mtl_a"}}}));
  EXPECT_FALSE(Read("up"));
  EXPECT_NE(error.find("not a plain file name"), std::string::npos) << error;
  // A later level is checked as the first one is.
  wd.Write("xmodel/later", st::Header(20, {{"ok1", {"mtl_a"}}, {"..\\..\\x", {"mtl_a"}}}));
  EXPECT_FALSE(Read("later", 1));
  EXPECT_NE(error.find("the level \"..\\..\\x\", which is not a plain file name"), std::string::npos) << error;
  // A material name with folder steps (binary junk the material list holds) names no file:
  // the level is read, the material has no image, and nothing outside is looked at.
  wd.Write("xmodel/mat", st::Header(20, {{"ok1", {"../materials/mtl_a"}}}));
  wd.Write("materials/mtl_a", test::v20::Material("a_col"));
  wd.Write("images/a_col.iwi", std::vector<uint8_t>{'I', 'W', 'i'});
  auto junk = Read("mat");
  ASSERT_TRUE(junk) << error;
  ASSERT_EQ(junk->materials.size(), 1u);
  EXPECT_EQ(junk->materials[0].name, "../materials/mtl_a");
  EXPECT_EQ(junk->materials[0].imagePath, "");
  // An image name with a folder step in a material file: the material has no image.
  wd.Write("xmodel/img", st::Header(20, {{"ok1", {"mtl_a"}}}));
  wd.Write("materials/mtl_a", test::v20::Material("../xmodel/img"));
  auto level = Read("img");
  ASSERT_TRUE(level) << error;
  EXPECT_EQ(level->materials[0].imagePath, "");
}

TEST_F(StructuralReader, DamagedFilesNameTheFileAndNeverCrash) {
  // A rotation longer than 1 is shortened to a unit one. (A surfaces file cut short is
  // named by export-gltf's test; every cut is the fuzz targets'.)
  Write("m", 25, {"m1", {"mtl_m"}}, st::Parts(25, {"root"}, {{"b", {.parent = 0, .rotation = {32767, 32767, 32767}}}}),
        st::Surfaces25({Tri(1)}));
  const auto rotated = Read("m");
  ASSERT_TRUE(rotated) << error;
  const Quat q = rotated->bones[1].rotation;
  EXPECT_NEAR(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w, 1.0f, 1e-5f);
  // A missing parts file leaves one root bone.
  std::filesystem::remove(wd.Path() / "xmodelparts/m1");
  auto level = Read("m");
  ASSERT_TRUE(level) << error;
  EXPECT_EQ(level->bones.size(), 1u);
  // Headers: another version, cut inside the level table, or not there.
  wd.Write("xmodel/bad", std::vector<uint8_t>{17, 0, 1, 2});
  const auto header = st::Header(20, {{"m1", {"mtl_m"}}}, 3).Data();
  wd.Write("xmodel/cut", std::vector<uint8_t>(header.begin(), header.begin() + 80));
  for (const char* model : {"bad", "cut", "absent"}) {
    EXPECT_FALSE(Read(model));
    EXPECT_NE(error.find(model), std::string::npos) << error;
  }
}

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
    // tag_weapon below the arms' Tag_Weapon (ignoring case); tag_clip, unmatched, there too.
    EXPECT_EQ(Parents(r.level), (std::vector<int32_t>{-1, 0, 1, 2, 3, 2, 5}));
    ASSERT_EQ(r.level.surfaces.size(), 2u);
    const DecodedSurface& s = r.level.surfaces[1];
    // Its materials follow the arms' one, its bones the arms' three.
    EXPECT_EQ((std::vector<size_t>{r.level.materials.size(), size_t(s.material), s.vertices[0].bone, s.vertices[1].bone, s.influences[0].bone}),
              (std::vector<size_t>{3, 2, 4, 6, 6}));
    ExpectNear(s.vertices[0].position, c.gun, 1e-6f);
    ExpectNear(s.vertices[0].normal, c.gunNormal, 1e-6f);
    ExpectNear(s.vertices[1].position, c.clip, 1e-6f);
  }
}

TEST(JoinedLevel, WithoutTagWeaponUnmatchedRootsHangFromTheFirstRoot) {
  DecodedLevel arms = Arms(25);
  arms.bones = {{"tag_view"}, {"tag_origin"}, {"j_hand", 1, {0, 0, 2}}};
  const JoinResult r = JoinLevels(arms, Weapon(25));
  ASSERT_EQ(r.error, "");
  EXPECT_EQ(Parents(r.level), (std::vector<int32_t>{-1, -1, 1, 0, 3, 0, 5}));
  ExpectNear(r.level.surfaces[1].vertices[0].position, {1, 0, 0}, 1e-6f);  // the root is at the origin
  EXPECT_EQ(JoinLevels(Arms(20), Weapon(14)).error,
            "Cannot join viewmodel_gun (version 14) to viewhands (version 20): their versions differ.");
}

}  // namespace
}  // namespace tessary
