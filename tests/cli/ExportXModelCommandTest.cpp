// tessary export-xmodel, run as a user runs it.
#include "cli/CliRunner.h"
#include "fixtures/StructuralWriter.h"

namespace tessary {
namespace {

namespace st = test::structural;
using test::Contains;
using test::Ended;

// A two-bone arm with three levels; the last two name the same surfaces file. The header
// stores the distances 100, 200 and 300.
void WriteArm(const test::TempWorkdir& wd, const std::string& model) {
  wd.Write("xmodel/" + model,
           st::Header(20, {{model + "0", {"mtl_" + model}}, {model + "1", {"mtl_" + model}}, {model + "1", {"mtl_" + model}}}));
  wd.Write("xmodelparts/" + model + "0",
           st::Parts(20, {"tag_origin"}, {{"arm", {.parent = 0, .translation = {0, 0, 10}, .rotation = {0, 0, 23170}}}}));
  const std::vector<st::Vertex> vertices{{.position = {0, 0, 0}, .bone = 1}, {.position = {20, 0, 0}, .bone = 1},
                                         {.position = {0, 0, 5}, .bone = 1}};
  for (const char* level : {"0", "1"})
    wd.Write("xmodelsurfs/" + model + level, st::Surfaces20({{.bone = 1, .vertices = vertices, .triangles = {{0, 1, 2}}}}));
}

// The value of a field of the .gdt.
std::string Field(const std::string& gdt, const std::string& key) {
  const std::string head = "\t\t\"" + key + "\" \"";
  const size_t at = gdt.find(head);
  if (at == std::string::npos) return "(none)";
  const size_t from = at + head.size();
  return gdt.substr(from, gdt.find('"', from) - from);
}

using ExportXModelCommand = test::CommandTest;

TEST_F(ExportXModelCommand, WritesTheLevelsAndAGdtNamingThemInOrder) {
  WriteArm(wd, "arm");
  auto r = Run("export-xmodel", {"--all-lods", "arm"});
  ASSERT_TRUE(Ended(r, 0) && r.out.empty());
  EXPECT_EQ(test::FileNames(wd.Path() / "obj"),
            (std::set<std::string>{"arm0.XMODEL_EXPORT", "arm1.XMODEL_EXPORT", "arm.gdt"}));
  std::string gdt = test::Text(wd.Path() / "obj/arm.gdt");
  EXPECT_EQ(std::vector<std::string>({Field(gdt, "type"), Field(gdt, "filename"), Field(gdt, "highLodDist"),
                                      Field(gdt, "mediumLod"), Field(gdt, "mediumLodDist"), Field(gdt, "lowLod"),
                                      Field(gdt, "lowLodDist"), Field(gdt, "lowestLod")}),
            std::vector<std::string>({"animated", "arm0.XMODEL_EXPORT", "100", "arm1.XMODEL_EXPORT", "200",
                                      "arm1.XMODEL_EXPORT", "300", ""}));
  // One level: the .gdt names it alone, drawn at every distance.
  ASSERT_TRUE(Ended(Run("export-xmodel", {"--lod", "1", "--scale", "2", "arm"}), 0));
  gdt = test::Text(wd.Path() / "obj/arm.gdt");
  EXPECT_EQ(std::vector<std::string>({Field(gdt, "filename"), Field(gdt, "highLodDist"), Field(gdt, "mediumLod")}),
            std::vector<std::string>({"arm1.XMODEL_EXPORT", "0", ""}));
  // The arm bone sits 10 up, doubled by --scale.
  EXPECT_TRUE(Contains(test::Text(wd.Path() / "obj/arm1.XMODEL_EXPORT"), "BONE 1\r\nOFFSET 0.000000, 0.000000, 20.000000\r\n"));
}

TEST_F(ExportXModelCommand, AllGoesOnPastAModelThatFailsAndWritesNothingOfIt) {
  WriteArm(wd, "arm");
  WriteArm(wd, "leg");
  wd.Write("xmodelsurfs/leg0", std::vector<uint8_t>{20, 0, 1, 0, 0, 9});  // damaged
  wd.Write("xmodel/junk", std::vector<uint8_t>{99, 0});
  auto r = Run("export-xmodel", {"--all", "--jobs", "2"});
  EXPECT_TRUE(Ended(r, 1) && Contains(r.out, "1 of 3 models written, 2 failed:") && Contains(r.out, "leg0") &&
              Contains(r.out, "junk"))
      << r.out;
  EXPECT_EQ(test::FileNames(wd.Path() / "obj"), (std::set<std::string>{"arm0.XMODEL_EXPORT", "arm.gdt"}));
  // --all-lods stops at the level that fails, naming it; no .gdt is written for the model.
  r = Run("export-xmodel", {"--all-lods", "leg"});
  EXPECT_TRUE(Ended(r, 1, "leg0")) << r.err;
  EXPECT_FALSE(wd.Exists("obj/leg.gdt"));
}

TEST_F(ExportXModelCommand, WrongCommandLinesAreRefused) {
  WriteArm(wd, "arm");
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {}, {"--scale", "0", "arm"}, {"--scale", "-1", "arm"}, {"--scale", "abc", "arm"}, {"--scale", "nan", "arm"},
           {"--scale", "inf", "arm"}, {"--lod", "0", "--all-lods", "arm"}, {"--all", "arm"}, {"--all", "--lod", "0"},
           {"--jobs", "2", "arm"}}) {
    EXPECT_TRUE(Ended(Run("export-xmodel", args), 2, "--help")) << testing::PrintToString(args);
  }
  EXPECT_TRUE(test::FileNames(wd.Path() / "obj").empty());
}

}  // namespace
}  // namespace tessary
