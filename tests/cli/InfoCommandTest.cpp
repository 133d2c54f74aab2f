// tessary info, run as a user runs it: the listing, the JSON form, and the exit statuses.
#include <nlohmann/json.hpp>

#include "cli/CliRunner.h"
#include "fixtures/V20Writer.h"

namespace tessary {
namespace {

using test::ByteWriter;
namespace v20 = test::v20;

struct InfoCommand : ::testing::Test {
  test::CliResult Info(std::vector<std::string> args) {
    args.insert(args.begin(), {"info", "--workdir", wd.Str()});
    return test::RunCli(args, scratch.Path());
  }
  test::TempWorkdir wd, scratch;
};

TEST_F(InfoCommand, ListsTheTreeWithMarksAsTextAndJson) {
  // A present and a missing level, a present and a missing material (named with a byte
  // above 127 and a control byte), an image only in IWI form and a missing parts file.
  wd.Write("xmodel/tank", v20::Header({{"tank_lod0", 1, {"mtl_a", "mtl_\xE9\x02"}}, {"tank_lod1", 0, {"mtl_a"}}}));
  wd.Write("xmodelsurfs/tank_lod0", v20::Surfaces({v20::Triangle(0)}));
  wd.Write("materials/mtl_a", v20::Material("a_col"));
  wd.Write("images/a_col.iwi", ByteWriter().Raw("IWi"));
  auto run = Info({"tank"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out,
            "tank\n  Surfaces\n    tank_lod0  [lod 0]\n      Materials\n        mtl_a\n          a_col.iwi  [iwi only]\n"
            "        mtl_\xC3\xA9\\x02  [missing]\n"
            "    tank_lod1  [lod 1]  [missing]\n      Materials\n        mtl_a\n          a_col.iwi  [iwi only]\n"
            "  Parts (Tags)\n    tank_lod0  [missing]\n");

  run = Info({"--json", "tank"});
  ASSERT_EQ(run.status, 0);
  const auto json = nlohmann::json::parse(run.out);  // valid UTF-8 whatever the names hold
  const auto& level1 = json["children"][0]["children"][1];
  EXPECT_EQ(level1, nlohmann::json::parse(R"({"text": "tank_lod1", "image": 2, "bold": true, "lod": 1, "children": [
    {"text": "Materials", "image": 0, "bold": false, "children": [{"text": "mtl_a", "image": 1, "bold": false,
      "children": [{"text": "a_col.iwi", "image": 1, "bold": true, "children": []}]}]}]})"));
  EXPECT_EQ(json["children"][0]["children"][0]["children"][0]["children"][1]["text"], "mtl_\xC3\xA9\x02");
}

TEST_F(InfoCommand, MissingModelIsOneLineOfError) {
  auto missing = Info({"nothing"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.out, "");
  EXPECT_TRUE(test::Contains(missing.err, "nothing") && missing.err.find('\n') == missing.err.size() - 1) << missing.err;
}

TEST_F(InfoCommand, SampleModelGivesItsTree) {
  auto samples = test::SamplesDir();
  if (samples.empty() || !std::filesystem::exists(samples / "cod2" / "xmodel" / "droneXaii"))
    GTEST_SKIP() << "no sample models";
  auto run = test::RunCli({"info", "--workdir", (samples / "cod2").string(), "droneXaii"}, scratch.Path());
  EXPECT_EQ(run.status, 0);
  // Found although the header spells the file names with capitals, the surfaces file not.
  EXPECT_EQ(run.out, "droneXaii\n  Surfaces\n    dronNLxaii2  [lod 0]\n      Materials\n        dronetext\n"
                     "          dronetext.iwi  [iwi only]\n  Parts (Tags)\n    dronNLxaii2\n");
}

}  // namespace
}  // namespace tessary
