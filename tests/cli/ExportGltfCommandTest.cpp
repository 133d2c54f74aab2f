// tessary export-gltf (with animations) and render, run as a user runs them.
#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

#include "cli/CliRunner.h"
#include "fixtures/StructuralWriter.h"
#include "fixtures/XAnimWriter.h"

namespace tessary {
namespace {

namespace st = test::structural;
namespace xa = test::xanim;
using test::Contains;
using test::Ended;

using test::WriteArm;

using ExportGltfCommand = test::CommandTest;

TEST_F(ExportGltfCommand, WritesGlbFilesAndReportsFailures) {
  WriteArm(wd, "rigged");
  WriteArm(wd, "leg");
  auto r = Run("export-gltf", {"rigged", "--scale", "0.0254"});
  ASSERT_TRUE(Ended(r, 0) && r.out.empty());
  EXPECT_EQ(test::Text(wd.Path() / "obj/rigged0.glb").substr(0, 4), "glTF");
  // A third header whose level shares the first one's name: the summary says whose file stayed.
  wd.Write("xmodel/rigged_copy", st::Header(20, {{"RIGGED0", {"mtl_rigged"}}}));
  r = Run("export-gltf", {"--all", "--jobs", "2"});
  EXPECT_TRUE(Ended(r, 0)) << r.err;
  EXPECT_EQ(r.out, "3 of 3 models written\n1 file was written by several models, the last one's kept:\n"
                   "  rigged0.glb: rigged, rigged_copy\n");
  EXPECT_TRUE(wd.Exists("obj/leg0.glb"));
  std::filesystem::remove(wd.Path() / "xmodel/rigged_copy");
  // A missing model and a damaged one: status 1, each named; the good one is still written.
  std::filesystem::remove(wd.Path() / "obj/leg0.glb");
  wd.Write("xmodelsurfs/rigged0", std::vector<uint8_t>{20, 0, 1, 0, 0, 9});
  r = Run("export-gltf", {"rigged", "nothing", "leg"});
  EXPECT_TRUE(Ended(r, 1, "rigged0") && Contains(r.err, "nothing")) << r.err;
  EXPECT_TRUE(wd.Exists("obj/leg0.glb"));
}

// The skinned geometry through export-obj and render (the arm's corner 1: (0, 20, 10)).
TEST_F(ExportGltfCommand, SkinnedExportAndRenderUseTheBonesRotations) {
  WriteArm(wd, "rigged");
  ASSERT_TRUE(Ended(Run("export-obj", {"--skinned", "rigged"}), 0));
  const std::string obj = test::Text(wd.Path() / "obj/rigged0.obj");
  std::array<double, 3> v{};
  const size_t second = obj.find("\nv ", obj.find("\nv ") + 1);
  ASSERT_EQ(std::sscanf(obj.c_str() + second + 1, "v %lf %lf %lf", &v[0], &v[1], &v[2]), 3) << obj;
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(v[i], (std::array<double, 3>{0, 20, 10})[i], 0.01) << i;

  if (!test::HasRenderCommand(scratch.Path())) return;
  const std::string compatible = (scratch.Path() / "compatible.png").string(), skinned = (scratch.Path() / "skinned.png").string();
  ASSERT_TRUE(Ended(Run("render", {"--size", "64x64", "-o", compatible, "rigged"}), 0));
  ASSERT_TRUE(Ended(Run("render", {"--size", "64x64", "--skinned", "-o", skinned, "rigged"}), 0));
  EXPECT_NE(test::Text(compatible), test::Text(skinned));
}

TEST_F(ExportGltfCommand, AnimationsWithASecondModelAndOneWarningLine) {
  for (const auto& [path, bytes] : st::ArmsModel(true)) wd.Write(path, bytes);
  wd.Write("xanim/Fire", xa::Write({.version = 17, .frames = 2, .flags = 2, .deltaTranslations = xa::Floats({0}, {{5, 0, 0}}),
                                     .bones = {{"j_bolt", false, false, {}, xa::Packed({0, 1}, 0, {1, 0, 0}, {1, 0, 0}, {{0, 0, 0}, {65535, 0, 0}})},
                                               {"j_elbow", false, false, {}, {}},
                                               {"j_wrist", false, false, {}, {}}}}));
  auto run = Run("export-gltf", {"arms", "--with", "gun", "--anim", "fire"});
  EXPECT_EQ(std::tuple(run.status, run.out + run.err),
            std::tuple(0, "tessary: warning: Fire: 2 of its 3 bones are not in arms and gun: j_elbow, j_wrist\n"));
  const size_t withRootMotion = wd.Read("obj/arms0.glb").size();
  EXPECT_EQ(Run("export-gltf", {"arms", "--no-root-motion", "--with", "gun", "--anim", "fire"}).status, 0);
  EXPECT_LT(wd.Read("obj/arms0.glb").size(), withRootMotion);  // tag_origin's channels left out
}

// An animated export is saved as the other exports are: a read-only file is named with
// its reason and kept (the other refusals of saving: the platform tests).
TEST_F(ExportGltfCommand, AnimatedExportsAreRefusedWhereThePlainExportIs) {
  WriteArm(wd, "rigged");
  wd.Write("xanim/bend", xa::Write({.version = 14, .frames = 2, .bones = {{"arm", false, false, {{0, 0, 0, 0}, {1, 16384, 0, 0}}, {}}}}));
  const std::filesystem::path glb = wd.Path() / "obj/rigged0.glb";
  wd.Write("obj/rigged0.glb", std::vector<uint8_t>{1});
  std::filesystem::permissions(glb, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
  EXPECT_TRUE(Ended(Run("export-gltf", {"rigged", "--anim", "bend"}), 1, glb.string() + " is read-only"));
  EXPECT_EQ(wd.Read("obj/rigged0.glb"), std::vector<uint8_t>{1});
}

// An animation that moves nothing of the model has no place in glTF: the file is written
// without it, with a warning that lists a capped number of its bones.
TEST_F(ExportGltfCommand, AnAnimationThatMovesNothingIsLeftOutAndLongBoneListsAreCapped) {
  WriteArm(wd, "rigged");
  xa::Anim idle{.version = 14};
  for (int i = 0; i < 1000; ++i) idle.bones.push_back({.name = "j_" + std::to_string(i)});
  wd.Write("xanim/idle", xa::Write(idle));
  auto run = Run("export-gltf", {"rigged", "--anim", "idle"});
  EXPECT_TRUE(Ended(run, 0, "tessary: warning: idle: it moves nothing of rigged, which has none of its bones "
                            "(j_0, j_1, j_2,"));
  EXPECT_TRUE(Contains(run.err, ", j_19 … and 980 more); the file is written without it\n")) << run.err;
  const std::string glb = test::Text(wd.Path() / "obj/rigged0.glb");
  EXPECT_EQ(glb.substr(0, 4), "glTF");
  EXPECT_FALSE(Contains(glb, "\"animations\"")) << glb.substr(20, 400);

  // One of the bones is the model's: the animation is kept, its warning stays one short line.
  idle.bones[500].name = "ARM";
  wd.Write("xanim/idle", xa::Write(idle));
  run = Run("export-gltf", {"rigged", "--anim", "idle"});
  EXPECT_TRUE(Ended(run, 0, "tessary: warning: idle: 999 of its 1000 bones are not in rigged: j_0, j_1,"));
  EXPECT_TRUE(Contains(run.err, ", j_19 … and 979 more\n") && run.err.size() < 300) << run.err;
  EXPECT_TRUE(Contains(test::Text(wd.Path() / "obj/rigged0.glb"), "\"animations\":[{"));
}

// The example a new user tries first is a header as the games store it: the structural
// exports read it as the described ones do.
TEST_F(ExportGltfCommand, TheExampleModelExportsToEveryFormatOfItsVersion) {
  ASSERT_EQ(test::RunCli({"example", wd.Str()}, scratch.Path()).status, 0);
  for (const char* command : {"export-obj", "export-gltf", "export-xmodel"})
    EXPECT_TRUE(Ended(Run(command, {"example_crate"}), 0)) << command;
  for (const char* file : {"example_crate0.obj", "example_crate0.glb", "example_crate0.XMODEL_EXPORT", "example_crate.gdt"})
    EXPECT_TRUE(wd.Exists(std::string("obj/") + file)) << file;
}

using RenderCommand = test::CommandTest;

TEST_F(RenderCommand, WritesAPngOfTheAskedSizeOrFailsWithoutTouchingTheOutput) {
  if (!test::HasRenderCommand(scratch.Path())) GTEST_SKIP() << "built without the preview";
  ASSERT_EQ(test::RunCli({"example", wd.Str()}, scratch.Path()).status, 0);
  const std::string shot = (wd.Path() / "shot.png").string();
  ASSERT_TRUE(Ended(Run("render", {"--size", "64x48", "--frames", "3", "--wireframe", "-o", shot, "example_crate"}), 0));
  // Signature, then the header chunk: length 13, "IHDR", width 64, height 48, 8-bit RGB.
  EXPECT_EQ(test::Text(shot).substr(0, 26),
            std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\0\x40\0\0\0\x30\x08\x02", 26));

  std::ofstream(shot) << "precious";
  EXPECT_TRUE(Ended(Run("render", {"-o", shot, "no_such_model"}), 1, "cannot open the model header"));
  EXPECT_EQ(test::Text(shot), "precious");
  // Surfaces that cannot be loaded: what export-obj says, and no picture of the floor alone.
  wd.Write("xmodelsurfs/example_crate0", std::vector<uint8_t>{});
  const std::string why = "cannot load the surfaces in " + (wd.Path() / "xmodelsurfs/example_crate0").string() + "\n";
  EXPECT_TRUE(Ended(Run("render", {"-o", shot, "example_crate"}), 1, why));
  EXPECT_TRUE(Ended(Run("export-obj", {"example_crate"}), 1, why));
  EXPECT_EQ(test::Text(shot), "precious");
}

}  // namespace
}  // namespace tessary
