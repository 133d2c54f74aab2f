// The built program's help and version and the usage errors that point to the help; info
// and info-anim: the listings, their JSON forms, and the files they cannot list.
#include <algorithm>
#include <nlohmann/json.hpp>
#include <regex>

#include "cli/CliRunner.h"
#include "platform/BuildInfo.h"
#include "fixtures/V20Writer.h"
#include "fixtures/XAnimWriter.h"

namespace tessary {
namespace {

using test::ByteWriter;
using test::Contains;
using test::Ended;
namespace v20 = test::v20;
namespace xa = test::xanim;

using InfoCommands = test::CommandTest;

TEST(CliHelp, ListsEveryCommandAndIsPointedToByUsageErrors) {
  test::TempWorkdir scratch;
  auto help = test::RunCli({"--help"}, scratch.Path());
  std::vector<std::string> names{"info", "example", "export-obj", "export-x", "tags", "convert", "retrieve", "paths"};
  if (test::HasRenderCommand(scratch.Path())) names.push_back("render");
  for (const std::string& name : names) {
    EXPECT_TRUE(std::regex_search(help.out, std::regex("\n  " + name + "( |\n)"))) << name << " is not listed:\n" << help.out;
    auto own = test::RunCli({name, "--help"}, scratch.Path());
    EXPECT_TRUE(own.status == 0 && test::Contains(own.out, "Usage: tessary " + name)) << own.out;
  }
  EXPECT_EQ(test::RunCli({"--version"}, scratch.Path()).out, std::string("tessary ") + build::kVersion + "\n");
  // Wrong command lines exit with 2 with one short line that points to the help (settings
  // kept away from the user's); numbers are range-checked, lengths finite and positive.
  std::vector<std::vector<std::string>> wrong{
      {}, {"no-such-command"}, {"info"}, {"info", "--no-such-option", "x"}, {"export-obj"}, {"tags"},
      {"export-obj", "--all", "m"}, {"export-obj", "--all", "--lod", "0"}, {"export-obj", "--lod", "x", "m"},
      {"export-obj", "--lod", "", "m"}, {"export-obj", "--lod", "-1", "m"}, {"export-x", "--all", "m"},
      {"export-obj", "--jobs", "2", "m"}, {"export-gltf"}, {"export-gltf", "--scale", "abc", "m"},
      {"export-gltf", "--all", "--anim", "a"}, {"export-xmodel"}, {"export-xmodel", "--lod", "0", "--all-lods", "m"},
      {"export-xmodel", "--all", "m"}, {"export-xmodel", "--all", "--lod", "0"}, {"export-xmodel", "--jobs", "2", "m"},
      {"export-xanim", "m"}, {"export-xanim", "--model", "m"}, {"retrieve", "m"}, {"retrieve", "--max-entry-size", "0", "m", "x"}};
  for (const char* command : {"export-gltf", "export-xmodel"})
    for (const char* scale : {"0", "-1", "abc", "nan", "inf", "3.4e38", "1e-300"}) wrong.push_back({command, "--scale", scale, "m"});
  for (const char* command : {"export-gltf", "export-obj", "export-xmodel"})
    for (const char* jobs : {"0", "-2", "1e308"}) wrong.push_back({command, "--all", "--jobs", jobs});
  for (const char* command : {"export-gltf", "export-obj", "export-xmodel"}) wrong.push_back({command, "--lod", "70000", "m"});
  if (test::HasRenderCommand(scratch.Path())) {
    wrong.insert(wrong.end(), {{"render", "--frames", "0", "-o", "x.png", "m"}, {"render", "--lod", "", "-o", "x.png", "m"},
                               {"render", "--lod", "70000", "-o", "x.png", "m"}});
    for (const char* size : {"4294967297x1", "-1x1", "0x10", "10x", "9000x10"})
      wrong.push_back({"render", "--size", size, "-o", "x.png", "m"});
  }
  for (const auto& args : wrong) {
    auto run = test::RunCli(args, scratch.Path(), "XDG_CONFIG_HOME=" + test::ShellQuote(scratch.Str()));
    EXPECT_TRUE(test::Ended(run, 2, "--help") && run.err.rfind("tessary: ", 0) == 0 && run.err.size() < 200 &&
                std::count(run.err.begin(), run.err.end(), '\n') == 1)
        << testing::PrintToString(args);
  }
}

TEST_F(InfoCommands, InfoListsTheTreeWithMarksAsTextAndJson) {
  // A present and a missing level, a present and a missing material (named with a byte
  // above 127 and a control byte), an image only in IWI form and a missing parts file.
  wd.Write("xmodel/tank", v20::Header({{"tank_lod0", 1, {"mtl_a", "mtl_\xE9\x02"}}, {"tank_lod1", 0, {"mtl_a"}}}));
  wd.Write("xmodelsurfs/tank_lod0", v20::Surfaces({v20::Triangle(0)}));
  wd.Write("materials/mtl_a", v20::Material("a_col"));
  wd.Write("images/a_col.iwi", ByteWriter().Raw("IWi"));
  auto run = Run("info", {"tank"});
  EXPECT_EQ(std::to_string(run.status) + " " + run.out + run.err,
            "0 tank\n  Surfaces\n    tank_lod0  [lod 0]\n      Materials\n        mtl_a\n          a_col.iwi  [iwi only]\n"
            "        mtl_\xC3\xA9\\x02  [missing]\n"
            "    tank_lod1  [lod 1]  [missing]\n      Materials\n        mtl_a\n          a_col.iwi  [iwi only]\n"
            "  Parts (Tags)\n    tank_lod0  [missing]\n");

  run = Run("info", {"--json", "tank"});
  ASSERT_EQ(run.status, 0);
  const auto json = nlohmann::json::parse(run.out);  // valid UTF-8 whatever the names hold
  EXPECT_EQ(json["children"][0]["children"][1], nlohmann::json::parse(R"({"text": "tank_lod1", "image": 2, "bold": true, "lod": 1, "children": [
    {"text": "Materials", "image": 0, "bold": false, "children": [{"text": "mtl_a", "image": 1, "bold": false,
      "children": [{"text": "a_col.iwi", "image": 1, "bold": true, "children": []}]}]}]})"));
  EXPECT_EQ(json["children"][0]["children"][0]["children"][0]["children"][1]["text"], "mtl_\xC3\xA9\x02");
}

TEST_F(InfoCommands, AHeaderThatHoldsNoModelPrintsTheBareTreeAndWhy) {
  const std::pair<std::vector<uint8_t>, std::string> cases[] = {
      {{}, "is empty"},
      {{7, 1, 2, 3}, "is of version 7, which is not one of the versions read here (14, 20, 25)"},
      {{20}, "names no level of detail"},
  };
  for (const auto& [bytes, why] : cases) {
    wd.Write("xmodel/bad", bytes);
    auto run = Run("info", {"bad"});
    EXPECT_EQ(std::tuple(run.status, run.out, run.err),
              std::tuple(1, std::string("bad\n  Surfaces\n  Parts (Tags)\n"),
                         "tessary: the model header " + (wd.Path() / "xmodel/bad").string() + " " + why + "\n"));
  }
}

xa::Anim Walk() {
  return {.version = 17, .frames = 3, .flags = 3, .assetType = 6, .fps = 24,
          .deltaTranslations = {.frames = {0, 3}, .precision = 1, .steps = {{0, 0, 0}, {9, 9, 9}}},
          .bones = {{"j_hip", true, true, {{0, 0, 0, 1}, {2, 0, 0, 2}}, xa::Packed({0, 1, 2, 3}, 1, {}, {}, {{1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {4, 4, 4}})},
                    {"j_\xE9paule", false, false, {}, {}}},
          .notes = {{"footstep", 2}}};
}

TEST_F(InfoCommands, InfoAnimListsTheAnimationAsTextAndJson) {
  wd.Write("xanim/Walk", xa::Write(Walk()));
  auto run = Run("info-anim", {"walk"});  // found ignoring case
  EXPECT_EQ(std::to_string(run.status) + " " + run.out + run.err,
            "0 Walk\n"
            "  version 17, 3 frames at 24 fps, 0.125 s\n"
            "  flags 3 (looping, root motion)\n"
            "  asset type 6 (layered on another animation)\n"
            "  root motion: 0 rotation keys, 2 translation keys\n"
            "  bones: 2\n"
            "    j_hip: 2 rotation keys (about z, flipped), 4 translation keys (8-bit)\n"
            "    j_\xC3\xA9paule: 0 rotation keys, 0 translation keys\n"
            "  notetracks: 1\n"
            "    2: footstep\n");

  run = Run("info-anim", {"--json", (wd.Path() / "xanim" / "Walk").string()});  // or a path
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(nlohmann::json::parse(run.out)["bones"][1], nlohmann::json::parse(R"({"name": "j_\u00e9paule",
    "simple": false, "flipped": false, "rotationKeys": 0, "translationKeys": 0})"));
  // Bytes after the notetracks are reported, the rest still listed.
  auto bytes = xa::Write(Walk()).Data();
  bytes.push_back(0);
  wd.Write("xanim/long", bytes);
  run = Run("info-anim", {"long"});
  EXPECT_TRUE(Ended(run, 0, "1 bytes after its notetracks") && Contains(run.out, "notetracks: 1")) << run.out;
}

TEST_F(InfoCommands, AMissingOrDamagedFileIsOneLineOfError) {
  auto bytes = xa::Write(Walk()).Data();
  bytes.resize(bytes.size() - 2);
  wd.Write("xanim/cut", bytes);
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"info", "evil\x1b]0;owned\x07name"}, "evil\\x1B]0;owned\\x07name"},  // control bytes escaped
      {{"info-anim", "nothing"}, "nothing"},
      {{"info-anim", "cut"}, "cut is damaged: it ends inside notetrack 1.\n"},
  };
  for (const auto& [args, part] : cases) {
    auto run = Run(args[0], {args[1]});
    EXPECT_TRUE(Ended(run, 1, part) && run.out.empty() && run.err.find('\n') == run.err.size() - 1) << args[0];
  }
}

}  // namespace
}  // namespace tessary
