#include "cli/CliSupport.h"

#include <cstdio>
#include <filesystem>

namespace tessary::cli {

namespace {
int commandStatus = kExitOk;
}

void SetCommandStatus(int status) { commandStatus = status; }
int CommandStatus() { return commandStatus; }

void StderrNotifier::ShowMessage(const std::string& text, const std::string&) {
  PrintError(text);
}

void PrintError(const std::string& text) {
  std::string line = text;
  for (char& c : line)
    if (c == '\n' || c == '\r') c = ' ';
  std::fprintf(stderr, "tessary: %s\n", line.c_str());
}

std::string ResolveWorkdir(const std::string& option) {
  std::string dir = option;
  if (dir.empty()) dir = std::filesystem::current_path().string();
  while (dir.size() > 1 && (dir.back() == '/' || dir.back() == '\\')) dir.pop_back();
  return dir;
}

std::string ModelFolder(const std::string& workdir) { return workdir + "\\xmodel"; }

}  // namespace tessary::cli
