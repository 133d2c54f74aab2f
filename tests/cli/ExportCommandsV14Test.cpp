// The commands on a first-game (version 14) model: export-obj writes the MTL and OBJ only,
// refuses the levels this generation cannot load, and tags says there is no listing.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cli/CliRunner.h"
#include "fixtures/TempWorkdir.h"
#include "fixtures/V14Writer.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;
namespace v14 = test::v14;
using test::RunCli;
using test::TempWorkdir;

class CommandsV14 : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<v14::HeaderLevel> levels = {{"Gun_LOD0"}, {"gun_lod1"}, {"gun_lod2"}, {"gun_lod3", 0}};
    wd.Write("xmodel/gun", v14::Header(levels, {{{"wall.dds"}}, {{"wall.dds"}}, {{"wall.dds"}}, {{"wall.dds"}}}));
    v14::FixtureSurface s;
    s.vertices = {{}, {}, {}};
    s.strips = {{0, 1, 2}};
    // The header spells the first level with capitals; the file on disk is lower case.
    wd.Write("xmodelsurfs/gun_lod0", v14::Surfaces({s}));
    wd.Write("xmodelsurfs/gun_lod3", v14::Surfaces({s}));
    wd.Write("xmodelparts/gun_lod0", v14::Parts({{0, {0, 0, 0}, "root"}}));
  }
  test::CliResult Run(std::vector<std::string> args) {
    args.insert(args.begin() + 1, {"--workdir", wd.Str()});
    return RunCli(args, scratch.Path());
  }
  bool ObjEmpty() const { return fs::is_empty(wd.Path() / "obj"); }

  TempWorkdir wd;
  TempWorkdir scratch;
};

TEST_F(CommandsV14, ExportWritesMtlAndObjButNoTagsListing) {
  auto r = Run({"export-obj", "gun"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  std::set<std::string> files;
  for (const auto& e : fs::directory_iterator(wd.Path() / "obj")) files.insert(e.path().filename().string());
  EXPECT_EQ(files, (std::set<std::string>{"Gun_LOD0.mtl", "Gun_LOD0.obj"}));
  std::string obj = test::Slurp(wd.Path() / "obj/Gun_LOD0.obj");
  EXPECT_NE(obj.find("# Created by Tessary: Version 4.x\r\n"), std::string::npos);
  EXPECT_NE(obj.find("usemtl wall\r\nf 1/1 2/2 3/3\r\n"), std::string::npos);
}

TEST_F(CommandsV14, LevelsFromThreeOnAreRefusedWithAMessage) {
  auto r = Run({"export-obj", "--lod", "3", "gun"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("only levels 0 to 2"), std::string::npos) << r.err;
  EXPECT_TRUE(ObjEmpty());
  // A loadable level whose surfaces file is missing is reported as such.
  r = Run({"export-obj", "--lod", "1", "gun"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("xmodelsurfs/gun_lod1"), std::string::npos) << r.err;
  EXPECT_TRUE(ObjEmpty());
}

TEST_F(CommandsV14, TagsSaysThereIsNoListing) {
  auto r = Run({"tags", "gun"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("has version 14, which has no tags listing"), std::string::npos) << r.err;
  EXPECT_TRUE(ObjEmpty());
}

TEST_F(CommandsV14, InfoShowsTheTree) {
  auto r = Run({"info", "--json", "gun"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("\"text\": \"Gun_LOD0\",\n          \"image\": 1,\n          \"bold\": true,\n          \"lod\": 0"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("\"text\": \"wall.dds\",\n                  \"image\": 2"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace tessary
