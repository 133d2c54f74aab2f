#include "platform/PlainName.h"

#include <system_error>

namespace fs = std::filesystem;

namespace tessary {

std::string WhyNotPlainName(std::string_view name) {
  if (name.empty()) return "it is empty";
  if (name.size() >= 2 && name[1] == ':' &&
      ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z')))
    return "it starts with a drive letter";
  if (name[0] == '/' || name[0] == '\\') return "it is an absolute path";
  if (name.find_first_of("/\\") != std::string_view::npos) return "it holds a folder step";
  if (name == "." || name == "..") return "it names a folder";
  return {};
}

bool LiesInside(const fs::path& folder, const fs::path& path) {
  std::error_code ec;
  fs::path base = fs::weakly_canonical(fs::absolute(folder, ec), ec);
  if (ec) return false;
  fs::path full = fs::weakly_canonical(fs::absolute(path, ec), ec);
  if (ec) return false;
  if (!base.has_filename()) base = base.parent_path();  // a trailing separator
  auto f = full.begin();
  for (const auto& step : base) {
    if (f == full.end() || step != *f) return false;
    ++f;
  }
  return true;
}

}  // namespace tessary
