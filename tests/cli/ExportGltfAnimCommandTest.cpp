// tessary export-gltf with animations, run as a user runs it: the warning line, the options,
// and a missing animation that writes nothing.
#include <tiny_gltf.h>

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
  xa::Anim anim;
  anim.version = 17;
  anim.frames = 2;
  anim.flags = 2;
  anim.deltaTranslations = xa::Floats({0}, {{5, 0, 0}});
  anim.bones = {{"j_bolt", false, false, {}, xa::Packed({0, 1}, 0, {1, 0, 0}, {1, 0, 0}, {{0, 0, 0}, {65535, 0, 0}})},
                {"j_elbow", false, false, {}, {}},
                {"j_wrist", false, false, {}, {}}};
  wd.Write("xanim/Fire", xa::Write(anim));
  const auto channels = [&] {
    tinygltf::Model doc;
    tinygltf::TinyGLTF loader;
    std::string error, warn;
    EXPECT_TRUE(loader.LoadBinaryFromFile(&doc, &error, &warn, (wd.Path() / "obj" / "arms0.glb").string())) << error;
    EXPECT_EQ(doc.animations.size(), 1u);
    return doc.animations.empty() ? 0u : doc.animations[0].channels.size();
  };

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
  EXPECT_EQ(channels(), 4u);  // j_bolt, and tag_origin's root motion
  EXPECT_EQ(Run("export-gltf", {"arms", "--no-root-motion", "--with", "gun", "--anim", "fire"}).status, 0);
  EXPECT_EQ(channels(), 2u);
}

}  // namespace
}  // namespace tessary
