// The export-obj, export-x and tags commands on models of each version: what they write,
// their messages and exit statuses.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "cli/CliRunner.h"
#include "fixtures/TempWorkdir.h"
#include "fixtures/V14Writer.h"
#include "fixtures/V20Writer.h"
#include "fixtures/V25Writer.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;
namespace v14 = test::v14;
namespace v20 = test::v20;
namespace v25 = test::v25;
using test::Contains;
using Files = std::set<std::string>;

class ExportCommands : public ::testing::Test {
 protected:
  test::CliResult Run(std::vector<std::string> args) {
    args.insert(args.begin() + 1, {"--workdir", wd.Str()});
    return test::RunCli(args, scratch.Path());
  }
  Files ObjFiles() const { return test::FileNames(wd.Path() / "obj"); }
  // Version 20: levels <name>_lod0 and <name>_lod1, both with surfaces.
  void WriteV20(const std::string& name) const {
    wd.Write("xmodel/" + name, v20::Header({{name + "_lod0", 1, {"mtl_a"}}, {name + "_lod1", 0, {"mtl_a"}}}));
    wd.Write("xmodelsurfs/" + name + "_lod0", v20::Surfaces({v20::Triangle()}));
    wd.Write("xmodelsurfs/" + name + "_lod1", v20::Surfaces({v20::Triangle()}));
  }
  // Version 25: the same levels; level 0's second surface (vertices (0, 0, 0) and (1, 0, 0))
  // is carried by part 2 at (0, 0, 7).
  void WriteV25(const std::string& name) const {
    wd.Write("xmodel/" + name, v25::Header("", {{name + "_lod0", 1}, {name + "_lod1", 0}}, {{"mtl_a"}, {"mtl_a"}}));
    v25::FixtureSurface carried = v25::Triangle();
    carried.vertices.pop_back();  // two vertices: word 3 is 2
    carried.triangles = {{0, 1, 1}};
    wd.Write("xmodelsurfs/" + name + "_lod0", v25::Surfaces({v25::Triangle(), carried}));
    wd.Write("xmodelsurfs/" + name + "_lod1", v25::Surfaces({v25::Triangle()}));
    wd.Write("xmodelparts/" + name + "_lod0",
             v20::Parts({{0, {0, 0, 0}, "root"}, {0, {0, 0, 1}, "a"}, {1, {0, 0, 6}, "b"}}, 25));
  }
  test::TempWorkdir wd, scratch;
};

TEST_F(ExportCommands, ExportObjWritesTheDefaultOrChosenLevel) {
  WriteV20("m");
  auto r = Run({"export-obj", "m"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out + r.err, "");
  EXPECT_EQ(ObjFiles(), (Files{"m_lod0.mtl", "m_lod0.obj", "m_tags.txt"}));
  EXPECT_EQ(Run({"export-obj", "--lod", "1", "m"}).status, 0);
  EXPECT_TRUE(wd.Exists("obj/m_lod1.obj"));
  // A level 0 whose name is too short to be read: level 1 is the default.
  wd.Write("xmodel/n", v20::Header({{"abc", 1, {"mtl_a"}}, {"n_lod1", 0, {"mtl_a"}}}));
  wd.Write("xmodelsurfs/n_lod1", v20::Surfaces({v20::Triangle()}));
  EXPECT_EQ(Run({"export-obj", "n"}).status, 0);
  EXPECT_TRUE(wd.Exists("obj/n_lod1.obj"));

  // Version 14: no tags listing, and only levels 0 to 2. The header spells level 0 with
  // capitals, the file on disk is lower case.
  fs::remove_all(wd.Path() / "obj");
  fs::create_directory(wd.Path() / "obj");
  wd.Write("xmodel/gun", v14::Header({"Gun_LOD0", "gun_lod1", "gun_lod2", "gun_lod3"},
                                     v14::Lists({{"wall.dds"}, {"a.dds"}, {"a.dds"}, {"a.dds"}})));
  v14::FixtureSurface triangle{0, {{0, 1, 2}}, {{}, {}, {}}};
  wd.Write("xmodelsurfs/gun_lod0", v14::Surfaces({triangle}));
  wd.Write("xmodelsurfs/gun_lod3", v14::Surfaces({triangle}));
  r = Run({"export-obj", "--lod", "3", "gun"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Contains(r.err, "only levels 0 to 2")) << r.err;
  r = Run({"export-obj", "gun"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(ObjFiles(), (Files{"Gun_LOD0.mtl", "Gun_LOD0.obj"}));
  EXPECT_TRUE(Contains(test::Slurp(wd.Path() / "obj/Gun_LOD0.obj"), "usemtl wall\r\nf 1/1 2/2 3/3\r\n"));
}

TEST_F(ExportCommands, ExportObjFailuresNameTheFileAndLeaveNothingBehind) {
  // Surfaces missing: nothing at all is written, not even the tags listing.
  wd.Write("xmodel/m", v20::Header({{"m_lod0", 0, {"mtl_a"}}}));
  auto r = Run({"export-obj", "m"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "tessary: the surfaces file " + wd.Str() + "/xmodelsurfs/m_lod0 is missing\n");
  WriteV20("good");
  r = Run({"export-obj", "--lod", "2", "good"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Contains(r.err, "no level of detail 2")) << r.err;
  EXPECT_TRUE(ObjFiles().empty());

  // Unknown model and unknown version; with several models the good one is still written.
  wd.Write("xmodel/odd", test::ByteWriter().U16(99).Fill(40));
  EXPECT_EQ(Run({"export-obj", "nosuchmodel"}).status, 1);
  r = Run({"export-obj", "odd", "good"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Contains(r.err, "version 99")) << r.err;
  EXPECT_EQ(ObjFiles(), (Files{"good_lod0.mtl", "good_lod0.obj", "good_tags.txt"}));

  // No obj folder.
  fs::remove_all(wd.Path() / "obj");
  WriteV25("good25");
  for (auto [command, model] : {std::pair{"export-obj", "good"}, {"export-x", "good25"}, {"tags", "good"}}) {
    r = Run({command, model});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Contains(r.err, (wd.Path() / "obj").string())) << command << ": " << r.err;
  }
  EXPECT_FALSE(wd.Exists("obj"));
}

TEST_F(ExportCommands, ExportXWritesVersion25LevelsShowingPiecesExplodedOnRequest) {
  WriteV25("m");
  auto r = Run({"export-x", "m"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(ObjFiles(), (Files{"m_lod0.x"}));
  std::string x = test::Slurp(wd.Path() / "obj/m_lod0.x");
  // The second mesh's vertices, z first; then moved by part 2 at (0, 0, 7).
  EXPECT_TRUE(Contains(x, "\t2;\r\n\r\n\t0.00000;0.00000;0.00000;,\r\n\t0.00000;0.00000;1.00000;;\r\n"));
  EXPECT_EQ(Run({"export-x", "--show-exploded", "m"}).status, 0);
  x = test::Slurp(wd.Path() / "obj/m_lod0.x");
  EXPECT_TRUE(Contains(x, "\t2;\r\n\r\n\t7.00000;0.00000;0.00000;,\r\n\t7.00000;0.00000;1.00000;;\r\n"));

  // Only version 25 models export to .x. Undecodable surfaces give the reader's message
  // once, then the export's, and nothing is written.
  fs::remove(wd.Path() / "obj/m_lod0.x");
  WriteV20("old");
  r = Run({"export-x", "old"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Contains(r.err, "version 20")) << r.err;
  v25::FixtureSurface bad = v25::Triangle(v25::Form::Direct);
  bad.vertices[0].b1 = 4;
  wd.Write("xmodelsurfs/m_lod0", v25::Surfaces({bad}));
  r = Run({"export-x", "m"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "tessary: VertexData.b1 >= 4 Unsupported model type.\ntessary: cannot load the surfaces in " +
                       wd.Str() + "/xmodelsurfs/m_lod0\n");
  EXPECT_TRUE(ObjFiles().empty());
}

TEST_F(ExportCommands, TagsWritesOnlyTheListing) {
  WriteV20("m");
  wd.Write("xmodel/gun", v14::Header({"gun_lod0"}, v14::Lists({{"a.dds"}})));
  EXPECT_EQ(Run({"tags", "m"}).status, 0);
  EXPECT_EQ(ObjFiles(), (Files{"m_tags.txt"}));
  auto r = Run({"tags", "gun"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Contains(r.err, "has version 14, which has no tags listing")) << r.err;
  EXPECT_EQ(Run({"tags", "nosuchmodel"}).status, 1);
}

TEST_F(ExportCommands, AllGoesPastFailuresAndEndsWithASummary) {
  WriteV20("good");
  WriteV20("also_good");
  wd.Write("xmodel/broken", v20::Header({{"broken_lod0", 0, {"mtl_a"}}}));
  fs::create_directory(wd.Path() / "xmodel" / "a_folder");  // not a model
  auto r = Run({"export-obj", "--all"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "");  // not a terminal: no progress bar
  EXPECT_EQ(r.out.substr(0, r.out.find('\n') + 1), "2 of 3 models written, 1 failed:\n");
  EXPECT_TRUE(Contains(r.out, "\n  broken: the surfaces file ")) << r.out;
  EXPECT_EQ(ObjFiles().size(), 6u);
  fs::remove(wd.Path() / "xmodel" / "broken");
  r = Run({"export-obj", "--all", "--show-exploded"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "2 of 2 models written\n");

  // On a terminal (script(1) gives the program one) the bar shows the model at work.
  if (std::system("command -v script >/dev/null 2>&1") == 0) {
    std::string program = test::ShellQuote(TESSARY_CLI_PATH) + " export-obj --all --workdir " + test::ShellQuote(wd.Str());
    fs::path shown = scratch.Path() / "tty.txt";
    ASSERT_EQ(std::system(("script -qec " + test::ShellQuote(program) + " /dev/null > " + test::ShellQuote(shown.string())).c_str()), 0);
    std::string screen = test::Slurp(shown);
    EXPECT_TRUE(Contains(screen, "\r[....................] 0/2  also_good")) << screen;
    EXPECT_TRUE(Contains(screen, "\r\x1b[K2 of 2 models written")) << screen;
  }

  // export-x takes only the version 25 model.
  WriteV25("m25");
  r = Run({"export-x", "--all"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out.substr(0, r.out.find('\n') + 1), "1 of 3 models written, 2 failed:\n");
  EXPECT_TRUE(Contains(r.out, "\n  good: the model header ")) << r.out;
  EXPECT_TRUE(wd.Exists("obj/m25_lod0.x"));
}

}  // namespace
}  // namespace tessary
