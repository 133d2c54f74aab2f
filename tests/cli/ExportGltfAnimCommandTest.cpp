// tessary export-gltf with animations, run as a user runs it: the warning line, the options,
// and a missing animation that writes nothing.
#include "cli/CliRunner.h"
#include "fixtures/StructuralWriter.h"
#include "fixtures/XAnimWriter.h"

namespace tessary {
namespace {

namespace st = test::structural;
namespace xa = test::xanim;

using ExportGltfAnim = test::CommandTest;

TEST_F(ExportGltfAnim, AnimationsWithASecondModelAndOneWarningLine) {
  wd.Write("xmodel/arms", st::Header(20, {{"arms0", {"mtl_a"}}}));
  wd.Write("xmodelparts/arms0", st::Parts(20, {"tag_origin"}, {{"tag_weapon", {.parent = 0, .translation = {0, 0, 10}}}}));
  st::Vertex v{.bone = 1};
  wd.Write("xmodelsurfs/arms0", st::Surfaces20({{.bone = 1, .vertices = {v, v, v}, .triangles = {{0, 1, 2}}}}));
  wd.Write("xmodel/gun", st::Header(20, {{"gun0", {"mtl_g"}}}));
  wd.Write("xmodelparts/gun0", st::Parts(20, {"tag_weapon"}, {{"j_bolt", {.parent = 0}}}));
  wd.Write("xmodelsurfs/gun0", st::Surfaces20({{.bone = 1, .vertices = {v, v, v}, .triangles = {{0, 1, 2}}}}));
  wd.Write("xanim/Fire", xa::Write({.version = 17, .frames = 2, .flags = 2, .deltaTranslations = xa::Floats({0}, {{5, 0, 0}}),
                                     .bones = {{"j_bolt", false, false, {}, xa::Packed({0, 1}, 0, {1, 0, 0}, {1, 0, 0}, {{0, 0, 0}, {65535, 0, 0}})},
                                               {"j_elbow", false, false, {}, {}},
                                               {"j_wrist", false, false, {}, {}}}}));
  // A missing animation fails the model and writes nothing; --anim is for one model, not --all.
  auto run = Run("export-gltf", {"arms", "--anim", "fire", "reload"});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(test::Contains(run.err, "cannot find the animation reload")) << run.err;
  EXPECT_FALSE(wd.Exists("obj/arms0.glb"));
  EXPECT_EQ(Run("export-gltf", {"--all", "--anim", "fire"}).status, 2);

  run = Run("export-gltf", {"arms", "--with", "gun", "--anim", "fire"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "tessary: warning: Fire: 2 of its 3 bones are not in arms and gun: j_elbow, j_wrist\n");
  const size_t withRootMotion = wd.Read("obj/arms0.glb").size();
  EXPECT_EQ(Run("export-gltf", {"arms", "--no-root-motion", "--with", "gun", "--anim", "fire"}).status, 0);
  EXPECT_LT(wd.Read("obj/arms0.glb").size(), withRootMotion);  // tag_origin's channels left out
}

}  // namespace
}  // namespace tessary
