#include "platform/Path.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

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

namespace {

std::string LowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

// Listings of folders, refreshed when the folder's modification time changes, so that
// batch commands do not list the same folder for every look-up.
struct Listing {
  fs::file_time_type stamp;
  std::vector<std::string> names;  // sorted in byte order
  // Lower-cased name -> the first entry in byte order that matches it.
  std::unordered_map<std::string, std::string> byLowerName;

  void Add(const std::string& name) {
    auto [it, added] = byLowerName.emplace(LowerAscii(name), name);
    if (!added && name < it->second) it->second = name;
  }
};

std::mutex cacheMutex;
std::map<std::string, Listing> cache;

// The folder's listing, read again when the folder changed. Called with the lock held.
const Listing* CurrentListing(const fs::path& dir) {
  std::error_code ec;
  auto stamp = fs::last_write_time(dir, ec);
  if (ec) return nullptr;
  auto it = cache.find(dir.string());
  if (it != cache.end() && it->second.stamp == stamp) return &it->second;
  Listing listing;
  listing.stamp = stamp;
  for (fs::directory_iterator di(dir, ec), end; !ec && di != end; di.increment(ec))
    listing.names.push_back(di->path().filename().string());
  std::sort(listing.names.begin(), listing.names.end());
  for (const auto& name : listing.names) listing.Add(name);
  Listing& stored = cache[dir.string()];
  stored = std::move(listing);
  return &stored;
}

// The entry of `dir` that matches `name` in any letter case, the first in byte order.
std::optional<std::string> FindNoCase(const fs::path& dir, std::string_view name) {
  std::lock_guard lock(cacheMutex);
  const Listing* listing = CurrentListing(dir);
  if (!listing) return std::nullopt;
  auto it = listing->byLowerName.find(LowerAscii(name));
  if (it == listing->byLowerName.end()) return std::nullopt;
  return it->second;
}

bool Exists(const fs::path& p) {
  std::error_code ec;
  return fs::symlink_status(p, ec).type() != fs::file_type::not_found && !ec;
}

}  // namespace

void ClearDirectoryCache() {
  std::lock_guard lock(cacheMutex);
  cache.clear();
}

void NoteFileWritten(const fs::path& file) {
  std::lock_guard lock(cacheMutex);
  fs::path dir = file.parent_path();
  if (dir.empty()) dir = ".";
  auto it = cache.find(dir.string());
  if (it == cache.end()) return;
  std::error_code ec;
  auto stamp = fs::last_write_time(dir, ec);
  if (ec) {
    cache.erase(it);
    return;
  }
  Listing& listing = it->second;
  const std::string name = file.filename().string();
  auto at = std::lower_bound(listing.names.begin(), listing.names.end(), name);
  if (at == listing.names.end() || *at != name) {
    listing.names.insert(at, name);
    listing.Add(name);
  }
  listing.stamp = stamp;
}

fs::path ResolvePath(std::string_view path) {
  fs::path exact(ToNativeSeparators(path));
  if (exact.empty() || Exists(exact)) return exact;

  // Walk component by component; ".." and "." are taken literally, as Windows does.
  fs::path result = exact.root_path();
  bool matching = true;
  for (const auto& part : exact.relative_path()) {
    std::string name = part.string();
    if (name.empty()) continue;
    if (!matching || name == "." || name == "..") {
      result /= part;
      if (matching && !Exists(result)) matching = false;
      continue;
    }
    fs::path candidate = result / part;
    if (Exists(candidate)) {
      result = candidate;
      continue;
    }
    std::optional<std::string> found = FindNoCase(result.empty() ? fs::path(".") : result, name);
    if (found) {
      result /= *found;
    } else {
      result /= part;
      matching = false;
    }
  }
  return result;
}

bool FileExists(std::string_view path) {
  if (path.empty()) return false;
  // A name ending in a separator matches nothing (an empty file name asks for no file).
  if (path.back() == '\\' || path.back() == '/') return false;
  fs::path p = ResolvePath(path);
  std::error_code ec;
  auto st = fs::status(p, ec);
  if (ec || !fs::exists(st)) return false;
  if (!fs::is_directory(st)) return true;
  // A folder counts only when it carries more than the directory attribute: read-only
  // (no write permission for its owner) or hidden (a name starting with a dot).
  bool readOnly = (st.permissions() & fs::perms::owner_write) == fs::perms::none;
  std::string name = p.filename().string();
  bool hidden = !name.empty() && name[0] == '.' && name != "." && name != "..";
  return readOnly || hidden;
}

}  // namespace tessary
