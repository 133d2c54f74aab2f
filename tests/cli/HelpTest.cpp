// The built program's help and version, and the usage errors that point to the help.
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
  // Wrong command lines exit with 2 and point to the help (settings kept away from the user's).
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {}, {"no-such-command"}, {"info"}, {"info", "--no-such-option", "x"}, {"export-obj"}, {"tags"},
           {"export-obj", "--all", "m"}, {"export-obj", "--all", "--lod", "0"}, {"export-obj", "--lod", "x", "m"},
           {"export-x", "--all", "m"}}) {
    auto run = test::RunCli(args, scratch.Path(), "XDG_CONFIG_HOME=" + test::ShellQuote(scratch.Str()));
    EXPECT_EQ(run.status, 2) << testing::PrintToString(args);
    EXPECT_TRUE(test::Contains(run.out + run.err, "--help")) << run.err;
  }
}

}  // namespace
}  // namespace tessary
