// The export commands on version 25 models: export-x, and the version 25 paths of
// export-obj, tags and info.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "cli/CliRunner.h"
#include "fixtures/TempWorkdir.h"
#include "fixtures/V20Writer.h"
#include "fixtures/V25Writer.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;
namespace v20 = test::v20;
namespace v25 = test::v25;
using test::RunCli;
using test::TempWorkdir;

std::set<std::string> ObjFiles(const TempWorkdir& wd) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(wd.Path() / "obj")) names.insert(e.path().filename().string());
  return names;
}

size_t Occurrences(const std::string& text, const std::string& piece) {
  size_t n = 0;
  for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
  return n;
}

// A model with levels <name>_lod0 and <name>_lod1 whose rigid triangle is carried by
// part 1 at (0, 0, 7); `material` names the material of both levels.
void WriteModel(const TempWorkdir& wd, const std::string& name,
                const std::string& material = "mtl_a") {
  wd.Write("xmodel/" + name, v25::Header("", {{name + "_lod0", 1}, {name + "_lod1", 0}},
                                          {{material}, {material}}));
  v25::FixtureSurface carried = v25::Triangle();
  carried.vertices.pop_back();  // two vertices: word 3 is 2
  carried.triangles = {{0, 1, 1}};
  wd.Write("xmodelsurfs/" + name + "_lod0", v25::Surfaces({v25::Triangle(), carried}));
  wd.Write("xmodelsurfs/" + name + "_lod1", v25::Surfaces({v25::Triangle()}));
  wd.Write("xmodelparts/" + name + "_lod0",
           v20::Parts({{0, {0, 0, 0}, "root"}, {0, {0, 0, 1}, "a"}, {1, {0, 0, 6}, "b"}}, 25));
}

class ExportV25Commands : public ::testing::Test {
 protected:
  test::CliResult Run(std::vector<std::string> args) {
    args.insert(args.begin() + 1, {"--workdir", wd.Str()});
    return RunCli(args, scratch.Path());
  }
  TempWorkdir wd;
  TempWorkdir scratch;
};

TEST_F(ExportV25Commands, ExportXWritesTheLevelFileAndShowsPiecesExplodedOnRequest) {
  WriteModel(wd, "m");
  auto r = Run({"export-x", "m"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(ObjFiles(wd), (std::set<std::string>{"m_lod0.x"}));
  std::string x = test::Slurp(wd.Path() / "obj/m_lod0.x");
  EXPECT_EQ(x.rfind("xof 0303txt 0032\r\n\r\ntemplate Vector \r\n", 0), 0u);
  EXPECT_EQ(Occurrences(x, "Mesh\r\n{\r\n"), 2u);
  // The second mesh's second vertex (1, 0, 0), written z first.
  EXPECT_NE(x.find("\t2;\r\n\r\n\t0.00000;0.00000;0.00000;,\r\n\t0.00000;0.00000;1.00000;;\r\n"),
            std::string::npos);

  r = Run({"export-x", "--show-exploded", "m"});
  EXPECT_EQ(r.status, 0) << r.err;
  x = test::Slurp(wd.Path() / "obj/m_lod0.x");
  // Moved by part 2 at (0, 0, 7).
  EXPECT_NE(x.find("\t2;\r\n\r\n\t7.00000;0.00000;0.00000;,\r\n\t7.00000;0.00000;1.00000;;\r\n"),
            std::string::npos);

  r = Run({"export-x", "--lod", "1", "m"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(wd.Exists("obj/m_lod1.x"));
}

TEST_F(ExportV25Commands, ExportObjWritesTheVersion25DialectAndTags) {
  WriteModel(wd, "m");
  auto r = Run({"export-obj", "m"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ObjFiles(wd), (std::set<std::string>{"m_lod0.mtl", "m_lod0.obj", "m_tags.txt"}));
  std::string obj = test::Slurp(wd.Path() / "obj/m_lod0.obj");
  EXPECT_NE(obj.find("\r\nmtllib m_lod0.mtl\r\n\r\nv "), std::string::npos);
  EXPECT_NE(obj.find("# 3 vertices\r\n\r\nvt "), std::string::npos);
  EXPECT_NE(obj.find("# 0 faces\r\n\r\n"), std::string::npos);  // (0, 1, 1) is left out

  fs::remove_all(wd.Path() / "obj");
  fs::create_directory(wd.Path() / "obj");
  r = Run({"tags", "m"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ObjFiles(wd), (std::set<std::string>{"m_tags.txt"}));

  r = Run({"info", "--json", "m"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("\"m_lod1\""), std::string::npos) << r.out;
}

TEST_F(ExportV25Commands, UnloadableSurfacesWriteNothing) {
  WriteModel(wd, "m");
  v25::FixtureSurface bad = v25::Triangle(v25::Form::Direct);
  bad.vertices[0].b1 = 4;
  wd.Write("xmodelsurfs/m_lod0", v25::Surfaces({bad}));
  for (const char* command : {"export-obj", "export-x"}) {
    auto r = Run({command, "m"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(Occurrences(r.err, "VertexData.b1 >= 4 Unsupported model type."), 1u) << r.err;
    EXPECT_TRUE(ObjFiles(wd).empty());
  }
  // Only version 25 models export to .x.
  wd.Write("xmodel/old", v20::Header({{"old_lod0", 0, {"mtl_a"}}}));
  wd.Write("xmodelsurfs/old_lod0", v20::Surfaces({v20::Triangle()}));
  auto r = Run({"export-x", "old"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("version 20"), std::string::npos) << r.err;
  EXPECT_TRUE(ObjFiles(wd).empty());
}

TEST_F(ExportV25Commands, AllBatchesReportFailuresAndExportModelsWithoutMaterials) {
  WriteModel(wd, "good");
  WriteModel(wd, "plain", "churchdome");  // a name the material scan does not know
  wd.Write("xmodel/broken", v25::Header("", {{"broken_lod0", 0}}, {{"mtl_a"}}));
  for (const char* command : {"export-x", "export-obj"}) {
    auto r = Run({command, "--all"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "tessary: Failed to get the materials\n");
    EXPECT_EQ(r.out.substr(0, r.out.find('\n') + 1), "2 of 3 models written, 1 failed:\n");
    EXPECT_NE(r.out.find("  broken: the surfaces file "), std::string::npos) << r.out;
  }
  EXPECT_EQ(ObjFiles(wd), (std::set<std::string>{"good_lod0.x", "plain_lod0.x", "good_lod0.mtl",
                                                   "good_lod0.obj", "good_tags.txt", "plain_lod0.mtl",
                                                   "plain_lod0.obj", "plain_tags.txt"}));
  EXPECT_EQ(test::Slurp(wd.Path() / "obj/plain_lod0.mtl"), "");
  EXPECT_NE(test::Slurp(wd.Path() / "obj/plain_lod0.x").find("\"../images/\";"), std::string::npos);

  EXPECT_EQ(Run({"export-x"}).status, 2);
  EXPECT_EQ(Run({"export-x", "--all", "good"}).status, 2);
}

}  // namespace
}  // namespace tessary
