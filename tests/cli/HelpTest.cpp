// The built program's help and version, as a user reads them. Every command found in the
// top-level help is checked, so a command added later is held to the same rules.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "platform/BuildInfo.h"

namespace {

struct RunResult {
  int status = -1;
  std::string output;
};

// Runs the program with the given arguments (each quoted for the shell); the output is
// standard output, followed by standard error when `withStderr` is set.
RunResult RunTessary(const std::vector<std::string>& args, bool withStderr = false) {
  std::string command = "'" TESSARY_CLI_PATH "'";
  for (const std::string& arg : args) command += " '" + arg + "'";
  command += withStderr ? " 2>&1" : " 2>/dev/null";
  RunResult result;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
  int raw = pclose(pipe);
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return result;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The entries listed under a "Heading:" line, up to the next blank line. An entry starts
// two blanks in; deeper lines continue it (a long name pushes its description onto the
// next line, and descriptions may run over several lines).
std::vector<std::string> Section(const std::string& help, const std::string& heading) {
  std::vector<std::string> entries;
  bool inside = false;
  for (const std::string& line : Lines(help)) {
    if (line == heading + ":") {
      inside = true;
    } else if (inside && line.empty()) {
      break;
    } else if (inside && line.rfind("   ", 0) == 0 && !entries.empty()) {
      entries.back() += "\n" + line;
    } else if (inside) {
      entries.push_back(line);
    }
  }
  return entries;
}

std::vector<std::string> CommandNames() {
  std::vector<std::string> names;
  for (const std::string& entry : Section(RunTessary({"--help"}).output, "Commands")) {
    names.push_back(entry.substr(2, entry.find(' ', 2) - 2));
  }
  return names;
}

// Whether an entry of an option list says what it does. Descriptions start in one column
// (the column of the help flag's own description); a name that reaches that column pushes
// the description onto the next line.
bool IsDescribed(const std::string& entry, const std::string& help) {
  size_t flag = help.find("  -h,--help ");
  size_t column = help.find("Print this help", flag) - flag;
  size_t lineEnd = entry.find('\n');
  std::string first = entry.substr(0, lineEnd);
  std::string rest = lineEnd == std::string::npos ? "" : entry.substr(lineEnd);
  bool sameLine = first.size() > column && first.find_first_not_of(' ', column) != std::string::npos &&
                  first[column - 1] == ' ';
  return sameLine || rest.find_first_not_of(" \n") != std::string::npos;
}

// The help's example: a line "Example: " or "Examples: ", then somewhere from there on a
// command line that runs the command.
bool HasExampleOf(const std::string& help, const std::string& name) {
  size_t start = help.find("\nExample: ");
  if (start == std::string::npos) start = help.find("\nExamples: ");
  if (start == std::string::npos) return false;
  std::regex use("tessary " + name + "( |\n|$)");
  return std::regex_search(help.begin() + static_cast<std::ptrdiff_t>(start), help.end(), use);
}

}  // namespace

TEST(CliHelp, TopLevelHelpListsTheCommandsAndPointsToTheirHelp) {
  RunResult help = RunTessary({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.output.find("Usage: tessary [OPTIONS] COMMAND"), std::string::npos) << help.output;
  EXPECT_NE(help.output.find("Run 'tessary <command> --help'"), std::string::npos) << help.output;
  EXPECT_TRUE(HasExampleOf(help.output, "example")) << help.output;

  std::vector<std::string> names = CommandNames();
  for (const char* expected : {"info", "example"}) {
    EXPECT_NE(std::find(names.begin(), names.end(), expected), names.end())
        << expected << " is not listed:\n" << help.output;
  }
  for (const std::string& entry : Section(help.output, "Commands")) {
    EXPECT_TRUE(IsDescribed(entry, help.output)) << "no description: " << entry;
  }
}

TEST(CliHelp, EveryCommandDescribesEachOptionAndGivesAnExample) {
  std::vector<std::string> names = CommandNames();
  ASSERT_FALSE(names.empty());
  for (const std::string& name : names) {
    SCOPED_TRACE("tessary " + name + " --help");
    RunResult help = RunTessary({name, "--help"});
    EXPECT_EQ(help.status, 0);
    std::vector<std::string> lines = Lines(help.output);
    ASSERT_GE(lines.size(), 2u) << help.output;
    EXPECT_FALSE(lines[0].empty()) << "the command has no description";
    EXPECT_EQ(lines[1].rfind("Usage: tessary " + name, 0), 0u) << help.output;
    for (const char* heading : {"Positionals", "Options"}) {
      for (const std::string& entry : Section(help.output, heading)) {
        EXPECT_TRUE(IsDescribed(entry, help.output)) << "no description: " << entry;
      }
    }
    EXPECT_TRUE(HasExampleOf(help.output, name))
        << "no \"Example: tessary " << name << " ...\":\n" << help.output;
  }
}

TEST(CliHelp, VersionIsTheOneTheBuildWasConfiguredWith) {
  RunResult version = RunTessary({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.output, std::string("tessary ") + tessary::build::kVersion + "\n");
  EXPECT_TRUE(std::regex_match(tessary::build::kVersion, std::regex(R"(\d+\.\d+\.\d+)")))
      << tessary::build::kVersion;
}

TEST(CliHelp, MissingOrUnknownCommandIsAUsageErrorThatPointsToHelp) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, std::vector<std::string>{"no-such-command"},
        std::vector<std::string>{"info", "--no-such-option", "x"}}) {
    RunResult run = RunTessary(args, true);
    EXPECT_EQ(run.status, 2) << run.output;
    EXPECT_NE(run.output.find("--help"), std::string::npos) << run.output;
  }
}
