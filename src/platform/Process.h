#pragma once
// Running outside programs (the archiver, the converter tool; posix/Process.cpp). Each
// argument is passed as one argument of the new program, never through a shell, so names
// read from files cannot turn into further arguments or commands.
#include <string>
#include <vector>

namespace tessary {

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

}  // namespace tessary
