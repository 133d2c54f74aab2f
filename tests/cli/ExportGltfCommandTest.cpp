// tessary export-gltf and render --skinned, run as a user runs them.
#include <array>
#include <cstdio>
#include <sstream>

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

TEST(ExportGltfCommand, WritesGlbFilesAndReportsFailures) {
  test::TempWorkdir wd;
  WriteArm(wd, "rigged");
  WriteArm(wd, "leg");
  auto run = [&](std::vector<std::string> args) {
    args.insert(args.begin(), {"export-gltf", "--workdir", wd.Str()});
    return test::RunCli(args, wd.Path());
  };
  auto r = run({"rigged", "--scale", "0.0254"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(test::Slurp(wd.Path() / "obj/rigged0.glb").substr(0, 4), "glTF");
  EXPECT_EQ(r.out, "");

  r = run({"--all", "--jobs", "2"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(test::Contains(r.out + r.err, "2 of 2 models written")) << r.out << r.err;
  EXPECT_TRUE(wd.Exists("obj/leg0.glb"));

  // A missing model and a damaged one: status 1, each named; the good one is still written.
  std::filesystem::remove(wd.Path() / "obj/leg0.glb");
  wd.Write("xmodelsurfs/rigged0", std::vector<uint8_t>{20, 0, 1, 0, 0, 9});
  r = run({"rigged", "nothing", "leg"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(test::Contains(r.err, "rigged0")) << r.err;
  EXPECT_TRUE(test::Contains(r.err, "nothing")) << r.err;
  EXPECT_TRUE(wd.Exists("obj/leg0.glb"));

  for (const char* scale : {"0", "-1", "abc"}) EXPECT_EQ(run({"--scale", scale, "leg"}).status, 2) << scale;
  EXPECT_EQ(run({}).status, 2);
}

TEST(ExportGltfCommand, ExportObjSkinnedWritesTheSkinnedGeometry) {
  test::TempWorkdir wd;
  WriteArm(wd, "rigged");
  // The second corner lies 20 along the arm's x; the arm is turned a quarter about z and
  // sits 10 up: (0, 20, 10) skinned, (20, 0, 10) with the translation only.
  auto r = test::RunCli({"export-obj", "--workdir", wd.Str(), "rigged"}, wd.Path());
  ASSERT_EQ(r.status, 0) << r.err;
  r = test::RunCli({"export-obj", "--workdir", wd.Str(), "--skinned", "rigged"}, wd.Path());
  ASSERT_EQ(r.status, 0) << r.err;
  std::istringstream obj(test::Slurp(wd.Path() / "obj/rigged0.obj"));
  std::vector<std::array<double, 3>> vertices;
  for (std::string line; std::getline(obj, line);) {
    std::array<double, 3> v{};
    if (std::sscanf(line.c_str(), "v %lf %lf %lf", &v[0], &v[1], &v[2]) == 3) vertices.push_back(v);
  }
  ASSERT_EQ(vertices.size(), 4u);
  EXPECT_NEAR(vertices[1][0], 0, 0.01);
  EXPECT_NEAR(vertices[1][1], 20, 0.01);
  EXPECT_NEAR(vertices[1][2], 10, 0.01);
  EXPECT_TRUE(wd.Exists("obj/rigged0.mtl"));
  EXPECT_TRUE(wd.Exists("obj/rigged_tags.txt"));
}

TEST(RenderCommand, SkinnedDrawsTheBonesRotations) {
  test::TempWorkdir wd;
  if (!test::HasRenderCommand(wd.Path())) GTEST_SKIP() << "built without the preview";
  WriteArm(wd, "rigged");
  const std::string compatible = (wd.Path() / "compatible.png").string();
  const std::string skinned = (wd.Path() / "skinned.png").string();
  auto r = test::RunCli({"render", "--workdir", wd.Str(), "--size", "64x64", "-o", compatible, "rigged"}, wd.Path());
  ASSERT_EQ(r.status, 0) << r.err;
  r = test::RunCli({"render", "--workdir", wd.Str(), "--size", "64x64", "--skinned", "-o", skinned, "rigged"}, wd.Path());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(test::Slurp(compatible), test::Slurp(skinned));
  // A damaged surfaces file: the skinned reader's message names it, no picture is written.
  wd.Write("xmodelsurfs/rigged0", std::vector<uint8_t>{20, 0, 1, 0, 0, 9});
  const std::string none = (wd.Path() / "none.png").string();
  r = test::RunCli({"render", "--workdir", wd.Str(), "--skinned", "-o", none, "rigged"}, wd.Path());
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(test::Contains(r.err, "rigged0")) << r.err;
  EXPECT_FALSE(std::filesystem::exists(none));
}

}  // namespace
}  // namespace tessary
