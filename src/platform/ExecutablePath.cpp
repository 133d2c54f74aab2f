#include "platform/ExecutablePath.h"

#include <filesystem>
#include <system_error>

namespace tessary {

std::string ExecutableFolder() {
  std::error_code ec;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
  return exe.parent_path().string();
}

}  // namespace tessary
