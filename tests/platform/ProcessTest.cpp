// Splitting a Windows command line into the arguments of the program it names.
#include <gtest/gtest.h>

#include "platform/Process.h"

namespace tessary {
namespace {

using Args = std::vector<std::string>;

TEST(SplitCommandLineTest, WindowsRules) {
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

}  // namespace
}  // namespace tessary
