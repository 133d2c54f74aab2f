#include "platform/Disk.h"

#include <algorithm>
#include <system_error>
#include <unordered_map>

#include "platform/AsciiCase.h"
#include "platform/FileOpen.h"
#include "platform/Path.h"

namespace fs = std::filesystem;

namespace tessary {

// The folders listed so far, each entry found by its name in folded letter case.
class Disk::Listings {
 public:
  // Looks `name` up in `dir`, listing it the first time: false when `dir` is not a folder,
  // else true with the entry found (empty when none) in `found`.
  bool Find(const fs::path& dir, std::string_view name, bool asSpelled, std::string& found) {
    std::lock_guard lock(mutex_);
    const Folder& folder = Get(dir);
    if (!folder.isFolder) return false;
    found.clear();
    auto it = folder.byFolded.find(AsciiLower(name));
    if (it == folder.byFolded.end()) return true;
    const std::vector<std::string>& spellings = it->second;
    found = asSpelled && std::binary_search(spellings.begin(), spellings.end(), name) ? std::string(name)
                                                                                       : spellings.front();
    return true;
  }

  std::vector<std::string> Entries(const fs::path& dir) {
    std::lock_guard lock(mutex_);
    const Folder& folder = Get(dir);
    std::vector<std::string> all;
    for (const auto& [folded, spellings] : folder.byFolded) all.insert(all.end(), spellings.begin(), spellings.end());
    std::sort(all.begin(), all.end());
    return all;
  }

  // Adds a file written to a listing taken already; a folder not listed yet is listed when
  // it is first looked in.
  void Note(const fs::path& file) {
    std::lock_guard lock(mutex_);
    auto it = folders_.find(Key(file.parent_path()));
    if (it == folders_.end() || !it->second.isFolder) return;
    std::string name = file.filename().string();
    auto& spellings = it->second.byFolded[AsciiLower(name)];
    auto at = std::lower_bound(spellings.begin(), spellings.end(), name);
    if (at == spellings.end() || *at != name) spellings.insert(at, std::move(name));
  }

  void Clear() {
    std::lock_guard lock(mutex_);
    folders_.clear();
  }

 private:
  struct Folder {
    bool isFolder = false;
    // Folded name -> the entries spelled that way in any case, in byte order.
    std::unordered_map<std::string, std::vector<std::string>> byFolded;
  };

  static std::string Key(const fs::path& dir) { return dir.empty() ? std::string(".") : dir.string(); }

  const Folder& Get(const fs::path& dir) {
    const std::string key = Key(dir);
    auto it = folders_.find(key);
    if (it != folders_.end()) return it->second;
    Folder folder;
    std::error_code ec;
    fs::directory_iterator entries(fs::path(key), ec);
    folder.isFolder = !ec;
    for (fs::directory_iterator end; !ec && entries != end; entries.increment(ec)) {
      std::string name = entries->path().filename().string();
      folder.byFolded[AsciiLower(name)].push_back(std::move(name));
    }
    if (ec && folder.isFolder) folder = Folder{};  // a listing broken off finds nothing
    for (auto& [folded, spellings] : folder.byFolded) std::sort(spellings.begin(), spellings.end());
    return folders_.emplace(key, std::move(folder)).first->second;
  }

  std::mutex mutex_;
  std::unordered_map<std::string, Folder> folders_;
};

Disk::Disk() : listings_(std::make_shared<Listings>()) {}
Disk::Disk(std::shared_ptr<Listings> listings) : listings_(std::move(listings)) {}
Disk::~Disk() = default;

std::unique_ptr<Disk> Disk::Fresh() const { return std::unique_ptr<Disk>(new Disk(listings_)); }

namespace {

bool Present(const fs::path& p) {
  std::error_code ec;
  return fs::symlink_status(p, ec).type() != fs::file_type::not_found && !ec;
}

// '*' matches any run of characters, '?' exactly one; letters match in either case.
bool WildcardMatchNoCase(std::string_view pattern, std::string_view name) {
  size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() && (pattern[p] == '?' || AsciiLower(pattern[p]) == AsciiLower(name[n]))) {
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

// The existence rule applied to an entry: a folder counts only when it carries more than
// the directory attribute, read-only (no write permission for its owner) or hidden (a name
// starting with a dot).
bool EntryCounts(const fs::path& p) {
  std::error_code ec;
  const fs::file_status st = fs::status(p, ec);
  if (ec || !fs::exists(st)) return false;
  if (!fs::is_directory(st)) return true;
  const bool readOnly = (st.permissions() & fs::perms::owner_write) == fs::perms::none;
  const std::string name = p.filename().string();
  const bool hidden = !name.empty() && name[0] == '.' && name != "." && name != "..";
  return readOnly || hidden;
}

}  // namespace

fs::path Disk::Resolve(std::string_view joined) {
  bool found = false;
  return Resolve(joined, found);
}

fs::path Disk::Resolve(std::string_view joined, bool& found) {
  fs::path exact(ToNativeSeparators(joined));
  found = !exact.empty() && Present(exact);
  if (exact.empty() || found) return exact;

  // From the deepest folder that exists as written, name by name; ".." and "." are taken
  // literally, as Windows does. The first name below that folder is known to be missing.
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
    if (Present(result)) break;
  }
  bool matching = true;
  for (auto it = rest.rbegin(); it != rest.rend(); ++it) {
    const bool knownMissing = it == rest.rbegin();
    const std::string name = it->string();
    if (name.empty()) continue;
    if (!matching || name == "." || name == "..") {
      result /= *it;
      if (matching && !Present(result)) matching = false;
      continue;
    }
    if (!knownMissing && Present(result / *it)) {
      result /= *it;
      continue;
    }
    std::string match;
    if (listings_->Find(result, name, false, match) && !match.empty()) {
      result /= match;
    } else {
      result /= *it;
      matching = false;
    }
  }
  found = matching;
  return result;
}

fs::path Disk::ResolveForWriting(std::string_view joined, bool& found) {
  const fs::path exact(ToNativeSeparators(joined));
  const fs::path last = exact.filename();
  if (!last.empty() && last != "." && last != "..") {
    std::string match;
    if (listings_->Find(exact.parent_path(), last.string(), true, match)) {
      found = !match.empty();
      return found ? exact.parent_path() / match : exact;
    }
  }
  return Resolve(joined, found);
}

bool Disk::Exists(std::string_view joined) {
  if (joined.empty()) return false;
  // A name ending in a separator matches nothing (an empty file name asks for no file).
  if (joined.back() == '\\' || joined.back() == '/') return false;
  {
    // A file read for this command is a regular file.
    std::lock_guard lock(readsMutex_);
    auto it = reads_.find(joined);
    if (it != reads_.end() && it->second) return true;
  }
  const size_t cut = joined.find_last_of("\\/");
  const std::string_view name = cut == std::string_view::npos ? joined : joined.substr(cut + 1);
  if (name.find_first_of("*?") == std::string_view::npos) {
    bool found = false;
    const fs::path where = Resolve(joined, found);
    return found && EntryCounts(where);
  }

  // A wildcard in the last name: the first entry that matches decides. Every folder but a
  // root lists "." and ".." ahead of its entries, so "*" finds the folder itself.
  fs::path folder = cut == std::string_view::npos ? fs::path(".") : Resolve(joined.substr(0, cut + 1));
  if (folder.empty()) folder = "/";
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) return false;
  std::vector<std::string> names;
  if (fs::weakly_canonical(folder, ec) != fs::path("/")) names = {".", ".."};
  const std::vector<std::string> listing = Entries(folder);
  names.insert(names.end(), listing.begin(), listing.end());
  for (const std::string& entry : names)
    if (WildcardMatchNoCase(name, entry)) return EntryCounts(folder / entry);
  return false;
}

Disk::Bytes Disk::Read(std::string_view joined) {
  {
    std::lock_guard lock(readsMutex_);
    if (auto it = reads_.find(joined); it != reads_.end()) return it->second;
  }
  // Most names are on the disk as written: the file is opened as it is named, and looked
  // up case-insensitively only when that finds nothing.
  const fs::path exact(ToNativeSeparators(joined));
  std::vector<uint8_t> bytes;
  OpenFailure failure = OpenFailure::None;
  bool read = ReadRegularFile(exact, bytes, &failure);
  if (!read && failure == OpenFailure::Missing) {
    const fs::path resolved = Resolve(joined);
    read = resolved != exact && ReadRegularFile(resolved, bytes);
  }
  Bytes contents = read ? std::make_shared<const std::vector<uint8_t>>(std::move(bytes)) : nullptr;
  std::lock_guard lock(readsMutex_);
  return reads_.emplace(std::string(joined), std::move(contents)).first->second;
}

BinaryFile Disk::Open(std::string_view joined) {
  Bytes bytes = Read(joined);
  return bytes ? BinaryFile(std::move(bytes)) : BinaryFile();
}

std::vector<std::string> Disk::Entries(const fs::path& dir) { return listings_->Entries(dir); }

void Disk::NoteWritten(const fs::path& file) { listings_->Note(file); }

void Disk::Forget() {
  listings_->Clear();
  std::lock_guard lock(readsMutex_);
  reads_.clear();
}

}  // namespace tessary
