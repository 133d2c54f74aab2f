// The described geometry over a level as read: parts chained into model space, surfaces
// placed on their bones; and what the readers keep of the files for it.
#include <gtest/gtest.h>

#include "fixtures/TempWorkdir.h"
#include "fixtures/V20Writer.h"
#include "fixtures/V25Writer.h"
#include "model/DescribedGeometry.h"
#include "model/ModelV20.h"
#include "model/ModelV25.h"

namespace tessary {
namespace {

using Xyz = std::vector<float>;

Part MakePart(uint8_t parent, float x, float y, float z, int16_t turn = 0) {
  Part p;
  p.parent = parent;
  p.position[0] = x;
  p.position[1] = y;
  p.position[2] = z;
  p.rotation[0] = turn;
  p.rotation[2] = static_cast<int16_t>(-turn);
  return p;
}

Vertex At(uint16_t bone, float x, float y, float z) {
  Vertex v;
  v.bone = bone;
  v.position[0] = x;
  v.position[1] = y;
  v.position[2] = z;
  return v;
}

Xyz Positions(const std::vector<Vertex>& vertices) {
  Xyz out;
  for (const auto& v : vertices) out.insert(out.end(), v.position, v.position + 3);
  return out;
}

// Root, part 1 on the root, part 2 on part 1: both turned, which the described rule
// ignores; part 3 names a parent outside the list; part 4 is listed before its parent 5.
PartList Chain() {
  PartList parts;
  parts.parts = {MakePart(0, 0, 0, 0),     MakePart(0, 1, 2, 3, 8000), MakePart(1, 10, 0, -1, -300),
                 MakePart(9, 0, 0, 5),      MakePart(5, 1, 1, 1),       MakePart(2, 0, 100, 0)};
  return parts;
}

TEST(DescribedGeometry, PartsAddTheirParentsInListOrder) {
  const PartList stored = Chain();
  const PartList placed = PartsInModelSpace(stored);
  ASSERT_EQ(placed.count(), 6);
  Xyz got;
  for (const Part& p : placed.parts) got.insert(got.end(), p.position, p.position + 3);
  EXPECT_EQ(got, (Xyz{0, 0, 0, 1, 2, 3, 11, 2, 2, 0, 0, 5, 1, 101, 1, 11, 102, 2}));
  EXPECT_EQ(placed.parts[3].parent, 0);  // outside the list: the root
  // The level as read is left as it was.
  EXPECT_EQ(stored.parts[2].position[0], 10);
  EXPECT_EQ(stored.parts[3].parent, 9);
}

TEST(DescribedGeometry, VerticesMoveOutToTheirBonesByPlacement) {
  Surface onBones;
  onBones.placement = Placement::OnBone;
  // Bone 2 sits at (11, 2, 2); the root and bones outside the list add nothing.
  onBones.vertices = {At(2, 0.5f, 0, 1), At(0, 3, 3, 3), At(6, 4, 4, 4), At(300, 5, 5, 5)};
  onBones.influences = {{4, 0.25f}};
  onBones.vertices[0].influenceCount = 1;
  Surface piece;
  piece.placement = Placement::OnPartWhenExploded;
  piece.vertices = {At(1, 1, 1, 1)};
  Surface modelSpace;
  modelSpace.vertices = {At(2, 7, 7, 7)};
  const std::vector<Surface> stored = {onBones, piece, modelSpace};

  const auto shown = DescribedSurfaces(stored, Chain(), {});
  EXPECT_EQ(Positions(shown[0].vertices), (Xyz{11.5f, 2, 3, 3, 3, 3, 4, 4, 4, 5, 5, 5}));
  EXPECT_EQ(shown[0].influences.size(), 1u);
  EXPECT_EQ(Positions(shown[1].vertices), (Xyz{1, 1, 1}));  // a piece stays at its part's origin
  EXPECT_EQ(Positions(shown[2].vertices), (Xyz{7, 7, 7}));
  const auto exploded = DescribedSurfaces(stored, Chain(), {.showExploded = true});
  EXPECT_EQ(Positions(exploded[1].vertices), (Xyz{2, 3, 4}));
  EXPECT_EQ(Positions(exploded[2].vertices), (Xyz{7, 7, 7}));
  EXPECT_EQ(Positions(stored[0].vertices)[0], 0.5f);
  // With no parts loaded nothing moves.
  EXPECT_EQ(Positions(DescribedSurfaces(stored, PartList{}, {})[0].vertices)[0], 0.5f);
}

// A version 20 level keeps its positions, bones and extra influences as stored, and the
// parts their local offsets and rotation words.
TEST(DescribedGeometry, ReaderKeepsWhatTheFilesStore) {
  namespace v20 = test::v20;
  test::TempWorkdir wd;
  wd.Write("xmodel/m", v20::Header({{"m_lod0", 0, {"mtl_a"}}}));
  wd.Write("xmodelparts/m_lod0", v20::Parts({{}, {0, {1, 2, 3}, "a"}, {1, {10, 0, 0}, "b"}}));
  v20::FixtureSurface skinned = v20::Triangle(0xFFFF);
  skinned.extraInfluences = 1;
  skinned.vertices[0].bone = 2;
  skinned.vertices[0].extra = 2;  // two influences of 16 bytes (filled with 0xAB) and a byte
  skinned.vertices[1].bone = 1;
  wd.Write("xmodelsurfs/m_lod0", v20::Surfaces({skinned, v20::Triangle(2)}));
  CModelV20 model;
  ASSERT_TRUE(model.Open(wd.ModelFolder(), "m") && model.LoadLods());
  model.LoadParts(0);
  ASSERT_TRUE(model.LoadSurfaces(0, false));
  ASSERT_EQ(model.parts.count(), 3);
  EXPECT_EQ(model.parts.parts[2].position[0], 10);
  EXPECT_EQ(model.parts.parts[2].rotation[0], 1);
  EXPECT_EQ(model.parts.parts[2].rotation[2], 3);

  const auto& s = *model.curSurfaces;
  EXPECT_EQ(Positions(s[0].vertices), (Xyz{0, 0, 0, 1, 0, 0, 0, 1, 0}));
  EXPECT_EQ(s[0].vertices[0].bone, 2);
  EXPECT_EQ(s[0].vertices[0].influenceCount, 2);
  ASSERT_EQ(s[0].influences.size(), 2u);
  EXPECT_EQ(s[0].influences[1].bone, 0xABAB);
  EXPECT_FLOAT_EQ(s[0].influences[1].weight, 43947.0f / 65535.0f);
  EXPECT_EQ(s[0].vertices[1].influenceCount, 0);
  EXPECT_EQ(s[1].vertices[2].bone, 2);  // the next surface is read from the right place

  const auto shown = DescribedSurfaces(s, model.parts, {});
  EXPECT_EQ(Positions(shown[0].vertices), (Xyz{11, 2, 3, 2, 2, 3, 0, 1, 0}));
  EXPECT_EQ(Positions(shown[1].vertices), (Xyz{11, 2, 3, 12, 2, 3, 11, 3, 3}));
}

// A version 25 rigid surface is a destructible piece on the part its third word names (its
// vertex count): it moves out only when shown exploded; weighted vertices never move.
TEST(DescribedGeometry, DestructiblePiecesMoveOutOnlyExploded) {
  namespace v25 = test::v25;
  test::TempWorkdir wd;
  wd.Write("xmodel/m", v25::Header("", {{"m_lod0", 0}}, {{"mtl_a", "mtl_b"}}));
  std::vector<test::v20::FixturePart> parts;
  for (int i = 0; i < 4; ++i) parts.push_back({0, {float(i), 0, 0}, "p" + std::to_string(i)});
  wd.Write("xmodelparts/m_lod0", test::v20::Parts(parts, 25));
  wd.Write("xmodelsurfs/m_lod0", v25::Surfaces({v25::Triangle(), v25::Triangle(v25::Form::Direct)}));
  CModelV25 model;
  ASSERT_TRUE(model.Open(wd.ModelFolder(), "m") && model.LoadLods());
  model.LoadParts(0);
  ASSERT_TRUE(model.LoadSurfaces(0, false, LoadOptions{true}));
  const auto& s = *model.curSurfaces;
  ASSERT_EQ(s.size(), 2u);
  EXPECT_EQ(s[0].placement, Placement::OnPartWhenExploded);
  EXPECT_EQ(s[0].vertices[1].bone, 3);
  EXPECT_EQ(Positions(s[0].vertices), (Xyz{0, 0, 0, 1, 0, 0, 0, 1, 0}));
  EXPECT_EQ(Positions(DescribedSurfaces(s, model.parts, {})[0].vertices), Positions(s[0].vertices));
  const auto exploded = DescribedSurfaces(s, model.parts, {.showExploded = true});
  EXPECT_EQ(Positions(exploded[0].vertices), (Xyz{3, 0, 0, 4, 0, 0, 3, 1, 0}));
  EXPECT_EQ(Positions(exploded[1].vertices), Positions(s[1].vertices));
}

}  // namespace
}  // namespace tessary
