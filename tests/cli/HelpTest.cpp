// The built program's help and version, and the usage errors that point to the help.
#include <algorithm>
#include <regex>

#include "cli/CliRunner.h"
#include "platform/BuildInfo.h"

namespace tessary {
namespace {

TEST(CliHelp, ListsEveryCommandAndIsPointedToByUsageErrors) {
  test::TempWorkdir scratch;
  auto help = test::RunCli({"--help"}, scratch.Path());
  EXPECT_EQ(help.status, 0);
  std::vector<std::string> names{"info", "example", "export-obj", "export-x", "tags", "convert", "retrieve", "paths"};
  if (test::HasRenderCommand(scratch.Path())) names.push_back("render");
  for (const std::string& name : names) {
    EXPECT_TRUE(std::regex_search(help.out, std::regex("\n  " + name + "( |\n)"))) << name << " is not listed:\n" << help.out;
    auto own = test::RunCli({name, "--help"}, scratch.Path());
    EXPECT_EQ(own.status, 0) << name;
    EXPECT_TRUE(test::Contains(own.out, "Usage: tessary " + name)) << own.out;
  }
  EXPECT_EQ(test::RunCli({"--version"}, scratch.Path()).out, std::string("tessary ") + build::kVersion + "\n");
  // Wrong command lines exit with 2 with one line that points to the help (settings kept
  // away from the user's); numbers are range-checked.
  std::vector<std::vector<std::string>> wrong{
      {}, {"no-such-command"}, {"info"}, {"info", "--no-such-option", "x"}, {"export-obj"}, {"tags"},
      {"export-obj", "--all", "m"}, {"export-obj", "--all", "--lod", "0"}, {"export-obj", "--lod", "x", "m"},
      {"export-obj", "--lod", "", "m"}, {"export-obj", "--lod", "-1", "m"}, {"export-x", "--all", "m"},
      {"export-obj", "--jobs", "0", "--all"}, {"export-obj", "--jobs", "2", "m"}, {"export-gltf"},
      {"export-gltf", "--scale", "0", "m"}, {"export-gltf", "--scale", "abc", "m"}, {"retrieve", "m"},
      {"retrieve", "--max-entry-size", "0", "m", "x"}};
  if (test::HasRenderCommand(scratch.Path())) {
    wrong.insert(wrong.end(), {{"render", "--frames", "0", "-o", "x.png", "m"}, {"render", "--lod", "", "-o", "x.png", "m"}});
    for (const char* size : {"4294967297x1", "-1x1", "0x10", "10x", "9000x10"})
      wrong.push_back({"render", "--size", size, "-o", "x.png", "m"});
  }
  for (const auto& args : wrong) {
    auto run = test::RunCli(args, scratch.Path(), "XDG_CONFIG_HOME=" + test::ShellQuote(scratch.Str()));
    EXPECT_TRUE(test::Ended(run, 2, "--help") && run.err.rfind("tessary: ", 0) == 0 &&
                std::count(run.err.begin(), run.err.end(), '\n') == 1)
        << testing::PrintToString(args);
  }
  auto bogus = test::RunCli({"bogus", "x"}, scratch.Path());
  EXPECT_TRUE(test::Contains(bogus.err, "unknown command \"bogus\"")) << bogus.err;
}

}  // namespace
}  // namespace tessary
