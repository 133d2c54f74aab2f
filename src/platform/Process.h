#pragma once
// Running outside programs (the archiver, the converter tool). Each argument is passed as
// one argument of the new program, never through a shell, so names read from files cannot
// turn into further arguments or commands. A single command-line string is split the way a
// Windows program's start-up code splits its command line, so that a line built for
// Windows means the same here.
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

struct ProcessResult {
  bool started = false;
  int exitStatus = -1;  // the program's exit status; -1 when it did not exit normally
  int signal = 0;       // the signal that ended it, if one did
  bool Succeeded() const { return started && exitStatus == 0; }
};

// Starts `arguments[0]` (looked up on PATH when it names no folder) with `arguments` as its
// argument vector, the caller's environment and current folder, and waits for it to end,
// without a time limit.
ProcessResult RunProcess(const std::vector<std::string>& arguments);

// "exited with status 3", "was ended by signal 9": how a program that ran did not succeed.
std::string DescribeProcessEnd(const ProcessResult& result);

// RunProcess over the arguments of SplitCommandLine(commandLine). False when it could not
// be started; its exit status is not looked at.
bool RunAndWait(std::string_view commandLine);

}  // namespace tessary
