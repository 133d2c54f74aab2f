// The described geometry over a level as read: parts chained into model space, surfaces
// placed on their bones; and what the readers keep of the files for it.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "fixtures/TempWorkdir.h"
#include "fixtures/V20Writer.h"
#include "model/DescribedGeometry.h"
#include "model/ModelV20.h"

namespace tessary {
namespace {

using Xyz = std::vector<float>;

Part MakePart(uint8_t parent, float x, float y, float z, int16_t turn = 0) {
  Part p;
  p.parent = parent;
  std::copy_n(std::array{x, y, z}.begin(), 3, p.position);
  p.rotation[0] = turn, p.rotation[2] = static_cast<int16_t>(-turn);
  return p;
}

Vertex At(uint16_t bone, float x, float y, float z) {
  Vertex v;
  v.bone = bone;
  std::copy_n(std::array{x, y, z}.begin(), 3, v.position);
  return v;
}

// The positions of vertices or parts, one after the other.
template <typename Items>
Xyz Positions(const Items& items) {
  Xyz out;
  for (const auto& i : items) out.insert(out.end(), i.position, i.position + 3);
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
  EXPECT_EQ(Positions(placed.parts), (Xyz{0, 0, 0, 1, 2, 3, 11, 2, 2, 0, 0, 5, 1, 101, 1, 11, 102, 2}));
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
  const Part& b = model.parts.parts[2];
  EXPECT_EQ((std::vector<float>{b.position[0], float(b.rotation[0]), float(b.rotation[2])}), (std::vector<float>{10, 1, 3}));

  const auto& s = *model.curSurfaces;
  EXPECT_EQ(Positions(s[0].vertices), (Xyz{0, 0, 0, 1, 0, 0, 0, 1, 0}));
  EXPECT_EQ(std::pair(s[0].vertices[0].bone, s[0].vertices[0].influenceCount), std::pair(uint16_t(2), uint8_t(2)));
  ASSERT_EQ(s[0].influences.size(), 2u);
  EXPECT_EQ(s[0].influences[1].bone, 0xABAB);
  EXPECT_FLOAT_EQ(s[0].influences[1].weight, 43947.0f / 65535.0f);
  EXPECT_EQ(s[0].vertices[1].influenceCount, 0);
  EXPECT_EQ(s[1].vertices[2].bone, 2);  // the next surface is read from the right place

  const auto shown = DescribedSurfaces(s, model.parts, {});
  EXPECT_EQ(Positions(shown[0].vertices), (Xyz{11, 2, 3, 2, 2, 3, 0, 1, 0}));
  EXPECT_EQ(Positions(shown[1].vertices), (Xyz{11, 2, 3, 12, 2, 3, 11, 3, 3}));
}

}  // namespace
}  // namespace tessary
