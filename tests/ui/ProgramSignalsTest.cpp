// The built desktop program ended by a signal (a logout's SIGTERM, a terminal's Ctrl+C)
// stores its recent files and settings as a closed window does.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "fixtures/TempWorkdir.h"
#include "fixtures/V20Writer.h"
#include "platform/QtSettingsStore.h"

extern char** environ;

namespace tessary::ui::test {
namespace {

namespace v20 = tessary::test::v20;
using namespace std::chrono_literals;

// Whether process `pid` handles `signal` itself (its caught-signals mask says so).
bool Catches(pid_t pid, int signal) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("SigCgt:", 0) == 0) return (std::stoull(line.substr(7), nullptr, 16) >> (signal - 1)) & 1;
  return false;
}

// The program, on Qt's offscreen platform with its settings under `config` (env runs it in
// the process it was started as).
pid_t StartProgram(const std::string& config) {
  std::vector<std::string> args{"env", "QT_QPA_PLATFORM=offscreen", "XDG_CONFIG_HOME=" + config,
                                "ASAN_OPTIONS=detect_leaks=0", TESSARY_GUI_PATH};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  return posix_spawnp(&pid, "env", nullptr, nullptr, argv.data(), environ) == 0 ? pid : -1;
}

// The wait status once the process ended, or -1 when it still runs after `limit`.
int WaitFor(pid_t pid, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  int status = 0;
  while (::waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > end) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(20ms);
  }
  return status;
}

TEST(ProgramSignals, TermAndIntStoreTheRecentFilesAndSettingsAsAClose) {
  for (int signal : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(signal);
    tessary::test::TempWorkdir wd, config;
    wd.Write("xmodel/tank", v20::Header({{"tank_lod0", 1, {}}}));
    const std::filesystem::path conf = config.Path() / "Ravenmoor" / "Tessary.conf";
    std::filesystem::create_directories(conf.parent_path());
    {
      QtSettingsStore profile(conf);
      profile.WriteProfileString("Settings", "WorkingFolder", wd.Str());
      profile.WriteProfileString("RecentFiles", "0", "tank");
    }
    const pid_t pid = StartProgram(config.Str());
    ASSERT_GT(pid, 0);
    // Once it handles the signal (at worst after a while: then it is sent anyway).
    for (int i = 0; i < 500 && !Catches(pid, signal); ++i) std::this_thread::sleep_for(20ms);
    std::this_thread::sleep_for(200ms);
    ::kill(pid, signal);
    const int status = WaitFor(pid, 20s);
    EXPECT_TRUE(status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0) << "wait status " << status;
    // The recent files as the run ended with them: the box's empty first entry, then "tank".
    QtSettingsStore stored(conf);
    EXPECT_EQ(std::tuple(stored.GetProfileString("RecentFiles", "0", "<none>"),
                         stored.GetProfileString("RecentFiles", "1", "<none>"),
                         stored.GetProfileInt("Settings", "ShowExploded", -1)),
              std::tuple(std::string(), std::string("tank"), 0));
  }
}

}  // namespace
}  // namespace tessary::ui::test
