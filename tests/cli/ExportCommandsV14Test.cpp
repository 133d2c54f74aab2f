// The commands on a first-game (version 14) model: export-obj writes the MTL and OBJ only
// and refuses levels from 3 on; tags says that there is no listing.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "cli/CliRunner.h"
#include "fixtures/TempWorkdir.h"
#include "fixtures/V14Writer.h"

namespace tessary {
namespace {

namespace fs = std::filesystem;
namespace v14 = test::v14;

TEST(CommandsV14, ExportTagsAndRefusedLevels) {
  test::TempWorkdir wd, scratch;
  auto run = [&](std::vector<std::string> args) {
    args.insert(args.begin() + 1, {"--workdir", wd.Str()});
    return test::RunCli(args, scratch.Path());
  };
  auto objFiles = [&] {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(wd.Path() / "obj")) names.insert(e.path().filename().string());
    return names;
  };
  // The header spells level 0 with capitals; the file on disk is lower case.
  wd.Write("xmodel/gun", v14::Header({"Gun_LOD0", "gun_lod1", "gun_lod2", "gun_lod3"},
                                     v14::Lists({{"wall.dds"}, {"a.dds"}, {"a.dds"}, {"a.dds"}})));
  v14::FixtureSurface s{0, {{0, 1, 2}}, {{}, {}, {}}};
  wd.Write("xmodelsurfs/gun_lod0", v14::Surfaces({s}));
  wd.Write("xmodelsurfs/gun_lod3", v14::Surfaces({s}));

  auto r = run({"export-obj", "--lod", "3", "gun"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("only levels 0 to 2"), std::string::npos) << r.err;
  r = run({"tags", "gun"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("has version 14, which has no tags listing"), std::string::npos) << r.err;
  EXPECT_TRUE(objFiles().empty());

  r = run({"export-obj", "gun"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(objFiles(), (std::set<std::string>{"Gun_LOD0.mtl", "Gun_LOD0.obj"}));
  std::string obj = test::Slurp(wd.Path() / "obj/Gun_LOD0.obj");
  EXPECT_NE(obj.find("usemtl wall\r\nf 1/1 2/2 3/3\r\n"), std::string::npos) << obj;
}

}  // namespace
}  // namespace tessary
