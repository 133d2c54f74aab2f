#pragma once
// The harness of the command-line tests: runs the built tessary program with arguments and
// collects its exit status and output.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "fixtures/StructuralWriter.h"
#include "fixtures/TempWorkdir.h"
#include "platform/TestFiles.h"

namespace tessary::test {

struct CliResult {
  int status = -1;
  std::string out, err;
};

inline std::string ShellQuote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

inline bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The run ended with `status` and its error output holds `part`.
inline ::testing::AssertionResult Ended(const CliResult& r, int status, const std::string& part = "") {
  if (r.status == status && Contains(r.err, part)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "status " << r.status << "\nout: " << r.out << "\nerr: " << r.err;
}

inline std::set<std::string> FileNames(const std::filesystem::path& folder) {
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder)) names.insert(e.path().filename().string());
  return names;
}

// Output goes to files in `scratch`; `prefix` goes before the program ("cd DIR &&", "NAME=value").
inline CliResult RunCli(const std::vector<std::string>& args, const std::filesystem::path& scratch,
                        const std::string& prefix = "") {
  std::string command = prefix + " " + ShellQuote(TESSARY_CLI_PATH);
  for (const auto& a : args) command += " " + ShellQuote(a);
  const auto out = scratch / "stdout.txt", err = scratch / "stderr.txt";
  command += " >" + ShellQuote(out.string()) + " 2>" + ShellQuote(err.string()) + " </dev/null";
  int raw = std::system(command.c_str());
  return CliResult{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Text(out), Text(err)};
}

// A working folder and a scratch folder that takes the program's output.
struct CommandTest : ::testing::Test {
  CliResult Run(const std::string& command, std::vector<std::string> args = {}) {
    args.insert(args.begin(), {command, "--workdir", wd.Str()});
    // `render` draws through the GL driver, which is loaded and unloaded at run time: in a
    // sanitizer build the leak check's walk of the driver's thread storage reads blocks
    // already given back and stops the program, as with the preview window's tests.
    const std::string prefix = command == "render" ? "ASAN_OPTIONS=\"${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0\"" : "";
    return RunCli(args, scratch.Path(), prefix);
  }
  TempWorkdir wd, scratch;
};

// Runs the program in `cwd` with its settings kept in the scratch folder, stopped after a minute.
struct SettingsTest : ::testing::Test {
  CliResult Run(const std::vector<std::string>& args, const std::string& cwd = ".") {
    return RunCli(args, scratch.Path(),
                  "cd " + ShellQuote(cwd) + " && XDG_CONFIG_HOME=" + ShellQuote(scratch.Str()) + " timeout 60");
  }
  TempWorkdir wd, scratch;
};

// A version 20 arm "<model>": level "<model>0" of two triangles on its second bone, which sits
// 10 up and is turned a quarter about Z (the skinned and the compatible geometry differ:
// corner 1 lies at (0, 20, 10) skinned, (20, 0, 10) moved only), then `more` levels that all
// name "<model>1", which holds the same. The header stores the distances 100, 200, 300.
inline void WriteArm(const TempWorkdir& wd, const std::string& model, int more = 0) {
  namespace st = structural;
  std::vector<st::Level> levels{{model + "0", {"mtl_" + model}}};
  levels.resize(size_t(1 + more), {model + "1", {"mtl_" + model}});
  wd.Write("xmodel/" + model, st::Header(20, levels));
  wd.Write("xmodelparts/" + model + "0",
           st::Parts(20, {"tag_origin"}, {{"arm", {.parent = 0, .translation = {0, 0, 10}, .rotation = {0, 0, 23170}}}}));
  const std::vector<st::Vertex> vertices{{.bone = 1}, {.position = {20, 0, 0}, .bone = 1}, {.position = {0, 0, 5}, .bone = 1},
                                         {.position = {20, 0, 5}, .bone = 1}};
  for (int level = 0; level <= std::min(more, 1); ++level)
    wd.Write("xmodelsurfs/" + model + std::to_string(level),
             st::Surfaces20({{.bone = 1, .vertices = vertices, .triangles = {{0, 1, 2}, {1, 3, 2}}}}));
}

// Without the preview library there is no render command, and "render --help" gives the main help.
inline bool HasRenderCommand(const std::filesystem::path& scratch) {
  return Contains(RunCli({"render", "--help"}, scratch).out, "Usage: tessary render");
}

}  // namespace tessary::test
