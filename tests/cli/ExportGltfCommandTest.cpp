// tessary export-gltf and render --skinned, run as a user runs them.
#include <array>
#include <cstdio>

#include "cli/CliRunner.h"
#include "fixtures/StructuralWriter.h"

namespace tessary {
namespace {

namespace st = test::structural;

// A two-bone arm whose second bone is turned a quarter about Z: the skinned geometry and
// the compatible one (translations only) differ.
void WriteArm(const test::TempWorkdir& wd, const std::string& model) {
  wd.Write("xmodel/" + model, st::Header(20, {{model + "0", {"mtl_" + model}}}));
  wd.Write("xmodelparts/" + model + "0",
           st::Parts(20, {"tag_origin"}, {{"arm", {.parent = 0, .translation = {0, 0, 10}, .rotation = {0, 0, 23170}}}}));
  std::vector<st::Vertex> vertices;
  for (int i = 0; i < 4; ++i)
    vertices.push_back({.position = {float(i % 2) * 20, 0, float(i / 2) * 5}, .bone = 1});
  wd.Write("xmodelsurfs/" + model + "0", st::Surfaces20({{.bone = 1, .vertices = vertices, .triangles = {{0, 1, 2}, {1, 3, 2}}}}));
}

using ExportGltfCommand = test::CommandTest;

TEST_F(ExportGltfCommand, WritesGlbFilesAndReportsFailures) {
  WriteArm(wd, "rigged");
  WriteArm(wd, "leg");
  auto r = Run("export-gltf", {"rigged", "--scale", "0.0254"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(test::Slurp(wd.Path() / "obj/rigged0.glb").substr(0, 4), "glTF");
  EXPECT_EQ(r.out, "");

  r = Run("export-gltf", {"--all", "--jobs", "2"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(test::Contains(r.out + r.err, "2 of 2 models written")) << r.out << r.err;
  EXPECT_TRUE(wd.Exists("obj/leg0.glb"));

  // A missing model and a damaged one: status 1, each named; the good one is still written.
  std::filesystem::remove(wd.Path() / "obj/leg0.glb");
  wd.Write("xmodelsurfs/rigged0", std::vector<uint8_t>{20, 0, 1, 0, 0, 9});
  r = Run("export-gltf", {"rigged", "nothing", "leg"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(test::Contains(r.err, "rigged0") && test::Contains(r.err, "nothing")) << r.err;
  EXPECT_TRUE(wd.Exists("obj/leg0.glb"));

  for (const char* scale : {"0", "-1", "abc"}) EXPECT_EQ(Run("export-gltf", {"--scale", scale, "leg"}).status, 2) << scale;
  EXPECT_EQ(Run("export-gltf").status, 2);
}

// The skinned geometry through export-obj and render: the second corner lies 20 along the
// arm's x; the arm is turned a quarter about z and sits 10 up: (0, 20, 10) skinned, (20, 0,
// 10) with the translation only.
TEST_F(ExportGltfCommand, SkinnedExportAndRenderUseTheBonesRotations) {
  WriteArm(wd, "rigged");
  auto r = Run("export-obj", {"--skinned", "rigged"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string obj = test::Slurp(wd.Path() / "obj/rigged0.obj");
  std::array<double, 3> v{};
  const size_t second = obj.find("\nv ", obj.find("\nv ") + 1);
  ASSERT_EQ(std::sscanf(obj.c_str() + second + 1, "v %lf %lf %lf", &v[0], &v[1], &v[2]), 3) << obj;
  EXPECT_NEAR(v[0], 0, 0.01);
  EXPECT_NEAR(v[1], 20, 0.01);
  EXPECT_NEAR(v[2], 10, 0.01);
  EXPECT_TRUE(wd.Exists("obj/rigged0.mtl") && wd.Exists("obj/rigged_tags.txt"));

  if (!test::HasRenderCommand(scratch.Path())) return;
  const std::string compatible = (scratch.Path() / "compatible.png").string(), skinned = (scratch.Path() / "skinned.png").string();
  r = Run("render", {"--size", "64x64", "-o", compatible, "rigged"});
  ASSERT_EQ(r.status, 0) << r.err;
  r = Run("render", {"--size", "64x64", "--skinned", "-o", skinned, "rigged"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(test::Slurp(compatible), test::Slurp(skinned));
}

}  // namespace
}  // namespace tessary
