// tessary info, run as a user runs it: the listing, the JSON form, and the exit statuses.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/CliRunner.h"
#include "fixtures/TempWorkdir.h"
#include "fixtures/V20Writer.h"

namespace tessary {
namespace {

using test::ByteWriter;
using test::TempWorkdir;
namespace v20 = test::v20;

struct InfoCommand : ::testing::Test {
  test::CliResult Info(std::vector<std::string> args) {
    args.insert(args.begin(), {"info", "--workdir", wd.Str()});
    return test::RunCli(args, scratch.Path());
  }
  TempWorkdir wd, scratch;
};

TEST_F(InfoCommand, ListsTheTreeWithMarksAsTextAndJson) {
  // A present and a missing level, a present and a missing material, an image only in
  // IWI form and a missing parts file.
  wd.Write("xmodel/tank", v20::Header({{"tank_lod0", 1, {"mtl_a", "mtl_b"}}, {"tank_lod1", 0, {"mtl_a"}}}));
  wd.Write("xmodelsurfs/tank_lod0", v20::Surfaces({v20::Triangle(0)}));
  wd.Write("materials/mtl_a", v20::Material("a_col"));
  wd.Write("images/a_col.iwi", ByteWriter().Raw("IWi"));
  auto run = Info({"tank"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out,
            "tank\n"
            "  Surfaces\n"
            "    tank_lod0  [lod 0]\n"
            "      Materials\n"
            "        mtl_a\n"
            "          a_col.iwi  [iwi only]\n"
            "        mtl_b  [missing]\n"
            "    tank_lod1  [lod 1]  [missing]\n"
            "      Materials\n"
            "        mtl_a\n"
            "          a_col.iwi  [iwi only]\n"
            "  Parts (Tags)\n"
            "    tank_lod0  [missing]\n");

  run = Info({"--json", "tank"});
  ASSERT_EQ(run.status, 0);
  const auto expected = nlohmann::json::parse(R"json({"text": "tank", "image": 0, "bold": false, "children": [
    {"text": "Surfaces", "image": 0, "bold": false, "children": [
      {"text": "tank_lod0", "image": 1, "bold": true, "lod": 0, "children": [
        {"text": "Materials", "image": 0, "bold": false, "children": [
          {"text": "mtl_a", "image": 1, "bold": false, "children": [
            {"text": "a_col.iwi", "image": 1, "bold": true, "children": []}]},
          {"text": "mtl_b", "image": 2, "bold": false, "children": []}]}]},
      {"text": "tank_lod1", "image": 2, "bold": true, "lod": 1, "children": [
        {"text": "Materials", "image": 0, "bold": false, "children": [
          {"text": "mtl_a", "image": 1, "bold": false, "children": [
            {"text": "a_col.iwi", "image": 1, "bold": true, "children": []}]}]}]}]},
    {"text": "Parts (Tags)", "image": 0, "bold": false, "children": [
      {"text": "tank_lod0", "image": 2, "bold": false, "children": []}]}]})json");
  EXPECT_EQ(nlohmann::json::parse(run.out), expected) << run.out;
}

TEST_F(InfoCommand, NamesAreBytes) {
  // A material named with bytes above 127 and one with a control byte.
  wd.Write("xmodel/odd", v20::Header({{"odd_lod0", 0, {"mtl_\xE9t\xE9", "mtl_\x02"}}}));
  auto text = Info({"odd"});
  EXPECT_TRUE(test::Contains(text.out, "        mtl_\xC3\xA9t\xC3\xA9  [missing]\n")) << text.out;
  EXPECT_TRUE(test::Contains(text.out, "        mtl_\\x02  [missing]\n")) << text.out;
  auto json = nlohmann::json::parse(Info({"--json", "odd"}).out);  // valid UTF-8 whatever the names hold
  const auto& materials = json["children"][0]["children"][0]["children"][0]["children"];
  EXPECT_EQ(materials[0]["text"], "mtl_\xC3\xA9t\xC3\xA9");
  EXPECT_EQ(materials[1]["text"], "mtl_\x02");
}

TEST_F(InfoCommand, ExitStatusesAndTheBareTreeOfUnreadVersions) {
  wd.Write("xmodel/future", ByteWriter().U16(99).Fill(30, 1));
  wd.Write("xmodel/empty", ByteWriter());
  for (const char* name : {"future", "empty"}) {
    auto run = Info({name});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, std::string(name) + "\n  Surfaces\n  Parts (Tags)\n");
    EXPECT_EQ(run.err, "");
  }
  auto missing = Info({"nothing"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.out, "");
  EXPECT_TRUE(test::Contains(missing.err, "nothing"));
  EXPECT_EQ(missing.err.find('\n'), missing.err.size() - 1);  // one line
  std::filesystem::create_directory(wd.Path() / "xmodel" / "folder");
  EXPECT_EQ(Info({"folder"}).status, 1);
  EXPECT_EQ(Info({}).status, 2);  // no MODEL
}

TEST_F(InfoCommand, SampleModelGivesItsTree) {
  auto samples = test::SamplesDir();
  if (samples.empty() || !std::filesystem::exists(samples / "cod2" / "xmodel" / "droneXaii"))
    GTEST_SKIP() << "no sample models";
  auto run = test::RunCli({"info", "--workdir", (samples / "cod2").string(), "droneXaii"}, scratch.Path());
  EXPECT_EQ(run.status, 0);
  // Every file is found although the header spells the level and parts file names with
  // capitals and only the surfaces file on disk is lower case.
  EXPECT_EQ(run.out,
            "droneXaii\n"
            "  Surfaces\n"
            "    dronNLxaii2  [lod 0]\n"
            "      Materials\n"
            "        dronetext\n"
            "          dronetext.iwi  [iwi only]\n"
            "  Parts (Tags)\n"
            "    dronNLxaii2\n");
}

}  // namespace
}  // namespace tessary
