#include "platform/Path.h"

#include "platform/AsciiCase.h"
#include "platform/FolderIndex.h"
#include "platform/ReadCache.h"

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
#include <optional>
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

bool Exists(const fs::path& p) {
  std::error_code ec;
  return fs::symlink_status(p, ec).type() != fs::file_type::not_found && !ec;
}

}  // namespace

void ClearDirectoryCache() { folder_index::Clear(); }

void NoteFileWritten(const fs::path& file) { folder_index::NoteFileWritten(file); }

fs::path ResolvePath(std::string_view path) {
  bool found = false;
  return ResolvePath(path, found);
}

fs::path ResolvePath(std::string_view path, bool& found) {
  fs::path exact(ToNativeSeparators(path));
  found = !exact.empty() && Exists(exact);
  if (exact.empty() || found) return exact;

  // Usually only the last name is off, in a folder that is there as written.
  const fs::path last = exact.filename();
  if (!last.empty() && last != "." && last != "..") {
    const fs::path folder = exact.parent_path();
    std::optional<std::string> match;
    if (folder_index::FindInFolder(folder.empty() ? fs::path(".") : folder, last.string(), match)) {
      found = match.has_value();
      return match ? folder / *match : exact;
    }
  }

  // Usually only the last names are off: start from the deepest folder that exists as
  // written.
  std::vector<fs::path> rest;
  fs::path result = exact;
  for (;;) {
    fs::path parent = result.parent_path();
    rest.push_back(result.filename());
    if (parent.empty() || parent == result) {
      result = parent;
      break;
    }
    result = parent;
    if (Exists(result)) break;
  }

  // Then name by name; ".." and "." are taken literally, as Windows does. The first name
  // below that folder was just found missing as written.
  bool matching = true;
  for (auto it = rest.rbegin(); it != rest.rend(); ++it) {
    const bool knownMissing = it == rest.rbegin();
    const fs::path& part = *it;
    std::string name = part.string();
    if (name.empty()) continue;
    if (!matching || name == "." || name == "..") {
      result /= part;
      if (matching && !Exists(result)) matching = false;
      continue;
    }
    fs::path candidate = result / part;
    if (!knownMissing && Exists(candidate)) {
      result = candidate;
      continue;
    }
    std::optional<std::string> found =
        folder_index::FindNoCase(result.empty() ? fs::path(".") : result, name);
    if (found) {
      result /= *found;
    } else {
      result /= part;
      matching = false;
    }
  }
  found = matching;
  return result;
}

fs::path ResolveInListing(std::string_view path, bool& found) {
  fs::path exact(ToNativeSeparators(path));
  const fs::path last = exact.filename();
  if (!last.empty() && last != "." && last != "..") {
    const fs::path folder = exact.parent_path();
    std::optional<std::string> match;
    if (folder_index::FindInFolder(folder.empty() ? fs::path(".") : folder, last.string(), match, true)) {
      found = match.has_value();
      return match ? folder / *match : exact;
    }
  }
  return ResolvePath(path, found);
}

namespace {

// '*' matches any run of characters, '?' exactly one; letters match in either case.
bool WildcardMatchNoCase(std::string_view pattern, std::string_view name) {
  size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() &&
               (pattern[p] == '?' || AsciiLower(pattern[p]) == AsciiLower(name[n]))) {
      ++p;
      ++n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

// The existence rule applied to an entry whose status (links followed) is `st`.
bool EntryCounts(const fs::path& p, const struct stat& st) {
  if (!S_ISDIR(st.st_mode)) return true;
  // A folder counts only when it carries more than the directory attribute: read-only
  // (no write permission for its owner) or hidden (a name starting with a dot).
  bool readOnly = (st.st_mode & S_IWUSR) == 0;
  std::string name = p.filename().string();
  bool hidden = !name.empty() && name[0] == '.' && name != "." && name != "..";
  return readOnly || hidden;
}

// The existence rule applied to the entry found.
bool EntryCounts(const fs::path& p) {
  struct stat st {};
  return ::stat(p.c_str(), &st) == 0 && EntryCounts(p, st);
}

// The existence rule applied to what is on the disk now.
bool TestExists(std::string_view path) {
  if (path.empty()) return false;
  // A name ending in a separator matches nothing (an empty file name asks for no file).
  if (path.back() == '\\' || path.back() == '/') return false;
  auto cut = path.find_last_of("\\/");
  std::string_view name = cut == std::string_view::npos ? path : path.substr(cut + 1);
  if (name.find_first_of("*?") == std::string_view::npos) {
    // Usually the name is on the disk as written; else it is looked up, and a name that
    // matches nothing needs no further look.
    const fs::path exact(ToNativeSeparators(path));
    struct stat st {};
    if (::stat(exact.c_str(), &st) == 0) return EntryCounts(exact, st);
    bool found = false;
    const fs::path resolved = errno == ENOENT ? ResolveInListing(path, found) : ResolvePath(path, found);
    // A reader that opens the file next goes straight to it.
    if (ReadCache* cache = ReadCache::Current()) cache->NoteResolved(path, {resolved, found});
    return found && EntryCounts(resolved);
  }

  // A wildcard in the last component: the first entry that matches decides. Every folder
  // but a root lists "." and ".." ahead of its entries, so "*" finds the folder itself.
  fs::path folder = cut == std::string_view::npos ? fs::path(".") : ResolvePath(path.substr(0, cut + 1));
  if (folder.empty()) folder = "/";
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) return false;
  std::vector<std::string> names;
  if (fs::weakly_canonical(folder, ec) != fs::path("/")) names = {".", ".."};
  const auto listing = folder_index::Entries(folder);
  names.insert(names.end(), listing.begin(), listing.end());
  for (const auto& entry : names)
    if (WildcardMatchNoCase(name, entry)) return EntryCounts(folder / entry);
  return false;
}

}  // namespace

bool FileExists(std::string_view path) {
  ReadCache* cache = ReadCache::Current();
  if (cache) {
    if (auto known = cache->FindExists(path)) return *known;
    // A file read for this task is a regular file.
    if (auto opened = cache->FindOpened(path); opened && *opened) return true;
  }
  bool exists = TestExists(path);
  if (cache) cache->NoteExists(path, exists);
  return exists;
}

}  // namespace tessary
