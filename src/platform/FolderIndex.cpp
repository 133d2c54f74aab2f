#include "platform/FolderIndex.h"

#include "platform/AsciiCase.h"
#include "platform/FileTimes.h"
#include "platform/ReadCache.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <unordered_map>

#if defined(__linux__)
#include <sys/inotify.h>
#include <climits>
#include <sys/vfs.h>
#define TESSARY_HAS_INOTIFY 1
#endif

namespace fs = std::filesystem;

namespace tessary::folder_index {

namespace {

// Names are found by their letter case folded as the look-up compares them.
std::string Fold(std::string_view name) { return AsciiLower(name); }

// Over two seconds old: a later change is sure to give the folder a new time.
bool TimeSettled(const timespec& stamp) { return OlderThan(stamp, std::chrono::seconds(2)); }

// The status of `dir`; false when it is not a folder. A task with a read cache takes it
// from the disk once.
bool StatFolder(const fs::path& dir, struct stat& st) {
  ReadCache* cache = ReadCache::Current();
  if (cache) {
    if (auto known = cache->FindFolderStatus(dir.native())) {
      if (!*known) return false;
      st = **known;
      return S_ISDIR(st.st_mode);
    }
  }
  const bool ok = ::stat(dir.c_str(), &st) == 0;
  if (cache) cache->NoteFolderStatus(dir.native(), ok ? &st : nullptr);
  return ok && S_ISDIR(st.st_mode);
}

// The names of one folder, found by their folded form in constant time.
struct Folder {
  dev_t device = 0;
  ino_t inode = 0;
  int watch = -1;      // the change report watch, or -1: checked by its time stamp
  timespec stamp{};    // time-stamp rule: the folder's time when it was listed
  bool keep = false;   // time-stamp rule: whether the listing may answer again
  // Folded name -> the entries spelled that way in any case, in byte order.
  std::unordered_map<std::string, std::vector<std::string>> byFolded;
  // Every entry in byte order, made when asked for; empty pointer when out of date.
  std::shared_ptr<const std::vector<std::string>> ordered;

  void Add(std::string name) {
    auto& spellings = byFolded[Fold(name)];
    auto at = std::lower_bound(spellings.begin(), spellings.end(), name);
    if (at != spellings.end() && *at == name) return;
    spellings.insert(at, std::move(name));
    ordered.reset();
  }

  void Remove(const std::string& name) {
    auto it = byFolded.find(Fold(name));
    if (it == byFolded.end()) return;
    auto& spellings = it->second;
    auto at = std::lower_bound(spellings.begin(), spellings.end(), name);
    if (at == spellings.end() || *at != name) return;
    spellings.erase(at);
    if (spellings.empty()) byFolded.erase(it);
    ordered.reset();
  }
};

#if defined(TESSARY_HAS_INOTIFY)
constexpr uint32_t kWatchMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

// File systems whose changes made elsewhere (another machine, a user-space server) are
// not reported: their folders follow the time-stamp rule.
bool ReportsAllChanges(const fs::path& dir) {
  struct statfs info {};
  if (statfs(dir.c_str(), &info) != 0) return false;
  switch (static_cast<unsigned long>(info.f_type)) {
    case 0x6969UL:      // NFS
    case 0x517BUL:      // SMB
    case 0xFF534D42UL:  // CIFS
    case 0xFE534D42UL:  // SMB2
    case 0x65735546UL:  // FUSE
    case 0x01021997UL:  // 9P
    case 0x00C36400UL:  // Ceph
    case 0x73757245UL:  // Coda
    case 0x5346414FUL:  // AFS
      return false;
    default:
      return true;
  }
}
#endif

class Index {
 public:
  Index() {
#if defined(TESSARY_HAS_INOTIFY)
    reports_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
#endif
  }
  ~Index() {
    if (reports_ >= 0) ::close(reports_);
  }
  Index(const Index&) = delete;
  Index& operator=(const Index&) = delete;

  bool Find(const fs::path& dir, std::string_view name, bool asSpelled, std::optional<std::string>& found) {
    found.reset();
    struct stat st {};
    if (!StatFolder(dir, st)) return false;
    std::lock_guard lock(mutex_);
    Folder& folder = Get(dir, st);
    auto it = folder.byFolded.find(Fold(name));
    if (it == folder.byFolded.end()) return true;
    const auto& spellings = it->second;
    if (asSpelled && std::binary_search(spellings.begin(), spellings.end(), name))
      found = std::string(name);
    else
      found = spellings.front();
    return true;
  }

  std::optional<std::string> FindNoCase(const fs::path& dir, std::string_view name, bool asSpelled) {
    std::optional<std::string> found;
    Find(dir, name, asSpelled, found);
    return found;
  }

  std::vector<std::string> Entries(const fs::path& dir) {
    struct stat st {};
    if (!StatFolder(dir, st)) return {};
    std::shared_ptr<const std::vector<std::string>> ordered;
    {
      std::lock_guard lock(mutex_);
      Folder& folder = Get(dir, st);
      if (!folder.ordered) {
        auto names = std::make_shared<std::vector<std::string>>();
        for (const auto& [folded, spellings] : folder.byFolded)
          names->insert(names->end(), spellings.begin(), spellings.end());
        std::sort(names->begin(), names->end());
        folder.ordered = std::move(names);
      }
      ordered = folder.ordered;
    }
    return *ordered;
  }

  void NoteFileWritten(const fs::path& file) {
    const fs::path dir = file.parent_path().empty() ? fs::path(".") : file.parent_path();
    {
      // A watched folder learns of the file from its reports as well; it is noted now for
      // the look-ups made before they are read.
      std::lock_guard lock(mutex_);
      auto it = byPath_.find(dir.string());
      if (it == byPath_.end()) return;
      if (it->second->watch >= 0) it->second->Add(file.filename().string());
      if (it->second->watch >= 0 || !it->second->keep) return;
    }
    struct stat st {};
    bool statted = ::stat(dir.c_str(), &st) == 0;
    if (ReadCache* cache = ReadCache::Current()) cache->NoteFolderStatus(dir.native(), statted ? &st : nullptr);
    std::lock_guard lock(mutex_);
    auto it = byPath_.find(dir.string());
    if (it == byPath_.end()) return;
    Folder& folder = *it->second;
    if (folder.watch >= 0 || !folder.keep) return;
    if (!statted || folder.device != st.st_dev || folder.inode != st.st_ino) {
      Unlink(it);
      return;
    }
    folder.Add(file.filename().string());
    folder.stamp = st.st_mtim;
  }

  void NoteFileThere(const fs::path& file) {
    const fs::path dir = file.parent_path().empty() ? fs::path(".") : file.parent_path();
    {
      std::lock_guard lock(mutex_);
      ApplyReports();
      auto it = byPath_.find(dir.string());
      if (it != byPath_.end() && it->second->watch >= 0) {
        it->second->Add(file.filename().string());
        return;
      }
    }
    NoteFileWritten(file);
  }

  void Clear() {
    std::lock_guard lock(mutex_);
    ForgetAll();
  }

  uint64_t ListingCount() const { return listings_.load(); }

  bool UsesChangeReports() {
    std::lock_guard lock(mutex_);
    return reports_ >= 0 && useReports_;
  }

  void SetUseChangeReports(bool use) {
    std::lock_guard lock(mutex_);
    ForgetAll();
    useReports_ = use;
  }

 private:
  using PathMap = std::unordered_map<std::string, std::shared_ptr<Folder>>;

  // The up-to-date listing of `dir`, whose status is `st`. Called with the lock held.
  Folder& Get(const fs::path& dir, const struct stat& st) {
    // A task reads the reports at its first look-up: its inputs do not change under it,
    // and what it writes itself it notes.
    ReadCache* cache = ReadCache::Current();
    if (!cache || cache->FirstChangeCheck()) ApplyReports();
    const std::string key = dir.string();
    auto it = byPath_.find(key);
    if (it != byPath_.end()) {
      Folder& known = *it->second;
      bool sameFolder = known.device == st.st_dev && known.inode == st.st_ino;
      if (sameFolder && (known.watch >= 0 || (known.keep && SameTime(known.stamp, st.st_mtim))))
        return known;
      Unlink(it);
    }

    auto folder = std::make_shared<Folder>();
    folder->device = st.st_dev;
    folder->inode = st.st_ino;
#if defined(TESSARY_HAS_INOTIFY)
    if (reports_ >= 0 && useReports_ && ReportsAllChanges(dir)) {
      // Watching before listing: a change made while the folder is read is reported as
      // well, and replaying it on the listing gives the same names.
      int watch = inotify_add_watch(reports_, dir.c_str(), kWatchMask);
      if (watch >= 0) {
        auto same = byWatch_.find(watch);
        if (same != byWatch_.end()) {
          // Another path to a folder already listed.
          if (same->second->device == st.st_dev && same->second->inode == st.st_ino) {
            byPath_[key] = same->second;
            return *same->second;
          }
          Drop(same->second, false);
        }
        folder->watch = watch;
        byWatch_[watch] = folder;
      }
    }
#endif
    if (folder->watch < 0) {
      // The time is taken before the names, so a change made meanwhile is never hidden.
      folder->stamp = st.st_mtim;
      folder->keep = TimeSettled(st.st_mtim);
    }
    List(dir, *folder);
    byPath_[key] = folder;
    return *folder;
  }

  void List(const fs::path& dir, Folder& folder) {
    ++listings_;
    std::unique_ptr<DIR, int (*)(DIR*)> stream(::opendir(dir.c_str()), &::closedir);
    if (!stream) return;
    while (const dirent* entry = ::readdir(stream.get())) {
      std::string_view name(entry->d_name);
      if (name == "." || name == "..") continue;
      folder.Add(std::string(name));
    }
  }

  // Brings the watched listings up to date with the changes reported since the last call.
  void ApplyReports() {
#if defined(TESSARY_HAS_INOTIFY)
    if (reports_ < 0 || byWatch_.empty()) return;
    alignas(inotify_event) char buffer[16384];
    for (;;) {
      ssize_t got = ::read(reports_, buffer, sizeof buffer);
      if (got <= 0) return;
      for (ssize_t at = 0; at < got;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        Apply(*event);
      }
      // Room left for another event: the queue was emptied by this read.
      if (static_cast<size_t>(got) + sizeof(inotify_event) + NAME_MAX + 1 <= sizeof buffer) return;
    }
#endif
  }

#if defined(TESSARY_HAS_INOTIFY)
  void Apply(const inotify_event& event) {
    if (event.mask & IN_Q_OVERFLOW) {
      // Reports were lost: no listing can be trusted.
      ForgetAll();
      return;
    }
    auto it = byWatch_.find(event.wd);
    if (it == byWatch_.end()) return;
    std::shared_ptr<Folder> folder = it->second;
    if (event.mask & IN_IGNORED) {
      Drop(folder, false);
      return;
    }
    if (event.mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT)) {
      Drop(folder, true);
      return;
    }
    if (event.len == 0) return;
    std::string name(event.name);  // padded with zeros
    if (event.mask & (IN_CREATE | IN_MOVED_TO))
      folder->Add(std::move(name));
    else if (event.mask & (IN_DELETE | IN_MOVED_FROM))
      folder->Remove(name);
  }
#endif

  // Forgets one path's listing, and the listing itself when no other path leads to it.
  void Unlink(PathMap::iterator it) {
    std::shared_ptr<Folder> folder = it->second;
    byPath_.erase(it);
    if (folder->watch < 0) return;
    for (const auto& [path, other] : byPath_)
      if (other == folder) return;
    Drop(folder, true);
  }

  // Forgets a listing under every path; `unwatch` ends its watch as well.
  void Drop(std::shared_ptr<Folder> folder, bool unwatch) {
    std::erase_if(byPath_, [&](const auto& entry) { return entry.second == folder; });
    if (folder->watch >= 0) {
      byWatch_.erase(folder->watch);
#if defined(TESSARY_HAS_INOTIFY)
      if (unwatch) inotify_rm_watch(reports_, folder->watch);
#endif
      folder->watch = -1;
    }
  }

  void ForgetAll() {
#if defined(TESSARY_HAS_INOTIFY)
    for (const auto& [watch, folder] : byWatch_) inotify_rm_watch(reports_, watch);
#endif
    byWatch_.clear();
    byPath_.clear();
  }

  std::mutex mutex_;
  int reports_ = -1;
  bool useReports_ = true;
  PathMap byPath_;
  std::unordered_map<int, std::shared_ptr<Folder>> byWatch_;
  std::atomic<uint64_t> listings_{0};
};

Index& TheIndex() {
  static Index index;
  return index;
}

}  // namespace

std::optional<std::string> FindNoCase(const fs::path& dir, std::string_view name) {
  return TheIndex().FindNoCase(dir, name, false);
}

std::optional<std::string> FindName(const fs::path& dir, std::string_view name) {
  return TheIndex().FindNoCase(dir, name, true);
}

bool FindInFolder(const fs::path& dir, std::string_view name, std::optional<std::string>& found,
                  bool asSpelled) {
  return TheIndex().Find(dir, name, asSpelled, found);
}

std::vector<std::string> Entries(const fs::path& dir) { return TheIndex().Entries(dir); }

void NoteFileWritten(const fs::path& file) { TheIndex().NoteFileWritten(file); }

void NoteFileThere(const fs::path& file) { TheIndex().NoteFileThere(file); }

void Clear() { TheIndex().Clear(); }

uint64_t ListingCount() { return TheIndex().ListingCount(); }

bool UsesChangeReports() { return TheIndex().UsesChangeReports(); }

void SetUseChangeReports(bool use) { TheIndex().SetUseChangeReports(use); }

}  // namespace tessary::folder_index
