// Splitting a Windows command line and running the program it names.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "fixtures/TempWorkdir.h"
#include "platform/Process.h"

namespace tessary {
namespace {

using Args = std::vector<std::string>;

TEST(SplitCommandLineTest, WindowsRules) {
  EXPECT_EQ(SplitCommandLine("E:\\WinRAR.exe x -y \"D:\\CoD2\\main\\iw_*.iwd\" x.iwi* \"D:\\Work\""),
            (Args{"E:\\WinRAR.exe", "x", "-y", "D:\\CoD2\\main\\iw_*.iwd", "x.iwi*", "D:\\Work"}));
  // The program name: quotes end it, backslashes before a quote stay literal.
  EXPECT_EQ(SplitCommandLine("\"C:\\Program Files\\a b\\\" c"), (Args{"C:\\Program Files\\a b\\", "c"}));
  EXPECT_EQ(SplitCommandLine("C:\\Program Files\\x.exe D:\\y z"), (Args{"C:\\Program", "Files\\x.exe", "D:\\y", "z"}));
  // Backslashes before quotes in the other arguments; tabs separate; "" inside quotes.
  EXPECT_EQ(SplitCommandLine("p a\\\\\"b c\" d\\\"e \t\"f\"\"g\" h\\\\\\\\i"),
            (Args{"p", "a\\b c", "d\"e", "f\"g", "h\\\\\\\\i"}));
  // A working folder ending in a backslash escapes the closing quote.
  EXPECT_EQ(SplitCommandLine("w \"D:\\Work\\\" next"), (Args{"w", "D:\\Work\" next"}));
  EXPECT_EQ(SplitCommandLine("p \"\" q"), (Args{"p", "", "q"}));
  EXPECT_TRUE(SplitCommandLine("").empty());
}

TEST(RunAndWaitTest, RunsTheProgramWithItsArgumentsAndWaits) {
  test::TempWorkdir temp;
  auto script = temp.Path() / "record.sh";
  auto log = temp.Path() / "args.txt";
  std::ofstream(script) << "#!/bin/sh\nsleep 0.2\nfor a in \"$@\"; do printf '[%s]' \"$a\"; done > \"" << log.string() << "\"\n";
  std::filesystem::permissions(script, std::filesystem::perms::owner_all);
  EXPECT_TRUE(RunAndWait(script.string() + " x \"two words\" a\\\\\"b\""));
  std::ifstream in(log);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "[x][two words][a\\b]");

  EXPECT_FALSE(RunAndWait((temp.Path() / "absent.exe").string() + " x"));
  EXPECT_FALSE(RunAndWait(""));
  EXPECT_FALSE(RunAndWait(" x"));  // an empty program name
}

}  // namespace
}  // namespace tessary
