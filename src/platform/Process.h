#pragma once
// Running outside programs (the archiver, the converter tool) from a single command-line
// string, which is split into arguments the way a Windows program's start-up code splits
// its command line, so that a line built for Windows means the same here.
#include <string>
#include <string_view>
#include <vector>

namespace tessary {

// Splits a command line. The program name (first argument) ends at the first blank or
// tab, or, when it starts with a double quote, at the next double quote; backslashes in
// it are literal. The other arguments are separated by blanks and tabs; double quotes
// group, 2n backslashes before a quote give n backslashes and the quote groups, 2n+1 give
// n backslashes and a literal quote, "" inside a quoted part gives a literal quote, and
// other backslashes are literal.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// Starts the program of `commandLine` (looked up on PATH when it names no folder) with
// the caller's environment and current folder, and waits for it to end, without a time
// limit. False when it could not be started; its exit status is not looked at.
bool RunAndWait(std::string_view commandLine);

}  // namespace tessary
