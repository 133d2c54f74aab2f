// The described geometry over a level as read: parts chained into model space, surfaces
// placed on their bones (what the readers keep of the files: ModelReadingTest).
#include <gtest/gtest.h>

#include "model/DescribedGeometry.h"
#include "model/Positions.h"

namespace tessary {
namespace {

using test::Positions;
using test::Xyz;

Vertex At(uint16_t bone, float x, float y, float z) { return {.position = {x, y, z}, .bone = bone}; }

// Root, part 1 on the root, part 2 on part 1: both turned, which the described rule
// ignores; part 3 names a parent just past the list; part 4 is listed before its parent 5.
PartList Chain() {
  PartList parts;
  parts.parts = {{0, {0, 0, 0}}, {0, {1, 2, 3}, {8000, 0, -8000}}, {1, {10, 0, -1}, {-300, 0, 300}},
                 {6, {0, 0, 5}}, {5, {1, 1, 1}},                   {2, {0, 100, 0}}};
  return parts;
}

TEST(DescribedGeometry, PartsAddTheirParentsInListOrderAndVerticesMoveOutByPlacement) {
  const PartList placed = PartsInModelSpace(Chain());
  EXPECT_EQ(Positions(placed.parts), (Xyz{0, 0, 0, 1, 2, 3, 11, 2, 2, 0, 0, 5, 1, 101, 1, 11, 102, 2}));
  EXPECT_EQ(placed.parts.at(3).parent, 0);  // outside the list: the root

  Surface onBones;
  onBones.placement = Placement::OnBone;
  // Bone 2 sits at (11, 2, 2); the root and bones outside the list add nothing.
  onBones.vertices = {At(2, 0.5f, 0, 1), At(0, 3, 3, 3), At(6, 4, 4, 4), At(300, 5, 5, 5)};
  Surface piece;
  piece.placement = Placement::OnPartWhenExploded;
  piece.vertices = {At(1, 1, 1, 1)};
  Surface modelSpace;
  modelSpace.vertices = {At(2, 7, 7, 7)};
  const std::vector<Surface> stored = {onBones, piece, modelSpace};

  const auto shown = DescribedSurfaces(stored, Chain(), {});
  EXPECT_EQ(Positions(shown[0].vertices), (Xyz{11.5f, 2, 3, 3, 3, 3, 4, 4, 4, 5, 5, 5}));
  EXPECT_EQ(Positions(shown[1].vertices), (Xyz{1, 1, 1}));  // a piece stays at its part's origin
  const auto exploded = DescribedSurfaces(stored, Chain(), {.showExploded = true});
  EXPECT_EQ(Positions(exploded[1].vertices), (Xyz{2, 3, 4}));
  EXPECT_EQ(Positions(exploded[2].vertices), (Xyz{7, 7, 7}));
  // A vertex on the root stays where it is stored, wherever the root lies.
  PartList movedRoot = Chain();
  movedRoot.parts[0].position[0] = 50;
  EXPECT_EQ(Positions(DescribedSurfaces(stored, movedRoot, {})[0].vertices)[3], 3.0f);
  // With no parts loaded nothing moves.
  EXPECT_EQ(Positions(DescribedSurfaces(stored, PartList{}, {})[0].vertices)[0], 0.5f);
}

}  // namespace
}  // namespace tessary
