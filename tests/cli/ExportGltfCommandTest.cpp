// tessary export-gltf and render --skinned, run as a user runs them.
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
  WriteArm(wd, "arm");
  WriteArm(wd, "leg");
  auto run = [&](std::vector<std::string> args) {
    args.insert(args.begin(), {"export-gltf", "--workdir", wd.Str()});
    return test::RunCli(args, wd.Path());
  };
  auto r = run({"arm", "--scale", "0.0254"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(test::Slurp(wd.Path() / "obj/arm0.glb").substr(0, 4), "glTF");
  EXPECT_EQ(r.out, "");

  r = run({"--all", "--jobs", "2"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(test::Contains(r.out + r.err, "2 of 2 models written")) << r.out << r.err;
  EXPECT_TRUE(wd.Exists("obj/leg0.glb"));

  // A missing model and a damaged one: status 1, each named; the good one is still written.
  std::filesystem::remove(wd.Path() / "obj/leg0.glb");
  wd.Write("xmodelsurfs/arm0", std::vector<uint8_t>{20, 0, 1, 0, 0, 9});
  r = run({"arm", "nothing", "leg"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(test::Contains(r.err, "arm0")) << r.err;
  EXPECT_TRUE(test::Contains(r.err, "nothing")) << r.err;
  EXPECT_TRUE(wd.Exists("obj/leg0.glb"));

  for (const char* scale : {"0", "-1", "abc"}) EXPECT_EQ(run({"--scale", scale, "leg"}).status, 2) << scale;
  EXPECT_EQ(run({}).status, 2);
}

TEST(RenderCommand, SkinnedDrawsTheBonesRotations) {
  test::TempWorkdir wd;
  if (!test::HasRenderCommand(wd.Path())) GTEST_SKIP() << "built without the preview";
  WriteArm(wd, "arm");
  const std::string compatible = (wd.Path() / "compatible.png").string();
  const std::string skinned = (wd.Path() / "skinned.png").string();
  auto r = test::RunCli({"render", "--workdir", wd.Str(), "--size", "64x64", "-o", compatible, "arm"}, wd.Path());
  ASSERT_EQ(r.status, 0) << r.err;
  r = test::RunCli({"render", "--workdir", wd.Str(), "--size", "64x64", "--skinned", "-o", skinned, "arm"}, wd.Path());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(test::Slurp(compatible), test::Slurp(skinned));
  // A damaged surfaces file: the skinned reader's message names it, no picture is written.
  wd.Write("xmodelsurfs/arm0", std::vector<uint8_t>{20, 0, 1, 0, 0, 9});
  const std::string none = (wd.Path() / "none.png").string();
  r = test::RunCli({"render", "--workdir", wd.Str(), "--skinned", "-o", none, "arm"}, wd.Path());
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(test::Contains(r.err, "arm0")) << r.err;
  EXPECT_FALSE(std::filesystem::exists(none));
}

}  // namespace
}  // namespace tessary
