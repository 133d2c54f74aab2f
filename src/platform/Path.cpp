#include "platform/Path.h"

#include <algorithm>

namespace tessary {

std::string ConcatPath(std::string_view a, std::string_view b, std::string_view c) {
  std::string out;
  out.reserve(a.size() + b.size() + c.size());
  out.append(a);
  out.append(b);
  out.append(c);
  return out;
}

std::string ToNativeSeparators(std::string_view path) {
  std::string out(path);
  std::replace(out.begin(), out.end(), '\\', '/');
  return out;
}

std::string BareFileName(std::string_view path) {
  auto pos = path.find_last_of("\\/");
  return std::string(pos == std::string_view::npos ? path : path.substr(pos + 1));
}

}  // namespace tessary
