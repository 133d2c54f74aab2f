// tessary info, run as a user runs it: the listing, the JSON form, and the exit statuses.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>

#include "fixtures/TempWorkdir.h"
#include "fixtures/V20Writer.h"

namespace tessary {
namespace {

using test::ByteWriter;
using test::TempWorkdir;
namespace v20 = test::v20;

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

std::string Slurp(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Runs the program with `arguments` (already quoted for the shell).
Outcome Tessary(const TempWorkdir& wd, const std::string& arguments) {
  auto out = wd.Path() / "obj" / "stdout.txt";
  auto err = wd.Path() / "obj" / "stderr.txt";
  std::string command = std::string("'") + TESSARY_CLI_PATH + "' " + arguments + " >'" + out.string() +
                        "' 2>'" + err.string() + "'";
  int raw = std::system(command.c_str());
  Outcome run;
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.out = Slurp(out);
  run.err = Slurp(err);
  return run;
}

std::string Info(const TempWorkdir& wd, const std::string& rest) {
  return "info --workdir '" + wd.Str() + "' " + rest;
}

// A model with a present and a missing level, a present and a missing material, an image
// only in IWI form and a missing parts file.
void WriteTank(const TempWorkdir& wd) {
  wd.Write("xmodel/tank", v20::Header({{"tank_lod0", 1, {"mtl_a", "mtl_b"}}, {"tank_lod1", 0, {"mtl_a"}}}));
  wd.Write("xmodelsurfs/tank_lod0", v20::Surfaces({v20::Triangle(0)}));
  wd.Write("materials/mtl_a", v20::Material("a_col"));
  wd.Write("images/a_col.iwi", ByteWriter().Raw("IWi"));
}

TEST(InfoCommand, ListsTheTreeWithMarks) {
  TempWorkdir wd;
  WriteTank(wd);
  Outcome run = Tessary(wd, Info(wd, "tank"));
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
}

TEST(InfoCommand, JsonHasTheTreeStructure) {
  TempWorkdir wd;
  WriteTank(wd);
  Outcome run = Tessary(wd, Info(wd, "--json tank"));
  ASSERT_EQ(run.status, 0);
  auto json = nlohmann::json::parse(run.out);
  auto none = nlohmann::json::array();
  auto item = [](const std::string& text, int image, bool bold, nlohmann::json children) {
    return nlohmann::json{{"text", text}, {"image", image}, {"bold", bold}, {"children", children}};
  };
  auto level = [&](const std::string& text, int image, int lod, nlohmann::json children) {
    auto j = item(text, image, true, children);
    j["lod"] = lod;
    return j;
  };
  auto image = item("a_col.iwi", 1, true, none);
  auto materials0 = item("Materials", 0, false,
                         nlohmann::json::array({item("mtl_a", 1, false, nlohmann::json::array({image})),
                                                item("mtl_b", 2, false, none)}));
  auto materials1 = item("Materials", 0, false,
                         nlohmann::json::array({item("mtl_a", 1, false, nlohmann::json::array({image}))}));
  auto surfaces = item("Surfaces", 0, false,
                       nlohmann::json::array({level("tank_lod0", 1, 0, nlohmann::json::array({materials0})),
                                              level("tank_lod1", 2, 1, nlohmann::json::array({materials1}))}));
  auto parts = item("Parts (Tags)", 0, false, nlohmann::json::array({item("tank_lod0", 2, false, none)}));
  auto expected = item("tank", 0, false, nlohmann::json::array({surfaces, parts}));
  EXPECT_EQ(json, expected) << json.dump(2);
}

TEST(InfoCommand, NamesAreBytes) {
  TempWorkdir wd;
  // A material named with bytes above 127 and one with a control byte.
  wd.Write("xmodel/odd", v20::Header({{"odd_lod0", 0, {"mtl_\xE9t\xE9", "mtl_\x02"}}}));
  Outcome json = Tessary(wd, Info(wd, "--json odd"));
  ASSERT_EQ(json.status, 0);
  auto parsed = nlohmann::json::parse(json.out);  // valid UTF-8 whatever the names hold
  const auto& mats = parsed["children"][0]["children"][0]["children"][0]["children"];
  ASSERT_EQ(mats.size(), 2u);
  EXPECT_EQ(mats[0]["text"], "mtl_\xC3\xA9t\xC3\xA9");
  EXPECT_EQ(mats[1]["text"], "mtl_\x02");

  Outcome text = Tessary(wd, Info(wd, "odd"));
  EXPECT_NE(text.out.find("        mtl_\xC3\xA9t\xC3\xA9  [missing]\n"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("        mtl_\\x02  [missing]\n"), std::string::npos) << text.out;
}

TEST(InfoCommand, UnknownVersionsShowTheBareTree) {
  TempWorkdir wd;
  wd.Write("xmodel/future", ByteWriter().U16(99).Fill(30, 1));
  wd.Write("xmodel/empty", ByteWriter());
  for (const char* name : {"future", "empty"}) {
    Outcome run = Tessary(wd, Info(wd, name));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, std::string(name) + "\n  Surfaces\n  Parts (Tags)\n");
    EXPECT_EQ(run.err, "");
  }
}

TEST(InfoCommand, ExitStatuses) {
  TempWorkdir wd;
  Outcome missing = Tessary(wd, Info(wd, "nothing"));
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.out, "");
  // One line naming the file.
  EXPECT_NE(missing.err.find("nothing"), std::string::npos);
  EXPECT_EQ(missing.err.find('\n'), missing.err.size() - 1);

  std::filesystem::create_directory(wd.Path() / "xmodel" / "folder");
  EXPECT_EQ(Tessary(wd, Info(wd, "folder")).status, 1);

  EXPECT_EQ(Tessary(wd, "info --workdir '" + wd.Str() + "'").status, 2);  // no MODEL
  EXPECT_EQ(Tessary(wd, Info(wd, "--no-such-option tank")).status, 2);
  EXPECT_EQ(Tessary(wd, "").status, 2);
}

TEST(InfoCommand, SampleModelsGiveTheirTrees) {
  auto samples = test::SamplesDir();
  if (samples.empty() || !std::filesystem::exists(samples / "cod2" / "xmodel" / "droneXaii"))
    GTEST_SKIP() << "the sample models are not there";
  TempWorkdir wd;  // only for the captured output
  Outcome run = Tessary(wd, "info --json --workdir '" + (samples / "cod2").string() + "' droneXaii");
  ASSERT_EQ(run.status, 0);
  auto json = nlohmann::json::parse(run.out);
  const auto& level = json["children"][0]["children"][0];
  EXPECT_EQ(level["text"], "dronNLxaii2");  // the header's spelling, found in lower case
  EXPECT_EQ(level["image"], 1);
  EXPECT_EQ(level["lod"], 0);
  const auto& material = level["children"][0]["children"][0];
  EXPECT_EQ(material["text"], "dronetext");
  EXPECT_EQ(material["children"][0]["text"], "dronetext.iwi");
  EXPECT_EQ(material["children"][0]["bold"], true);
  EXPECT_EQ(json["children"][1]["children"][0]["image"], 1);
}

}  // namespace
}  // namespace tessary
