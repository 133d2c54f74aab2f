#include "platform/SettledFiles.h"

#include "platform/FileTimes.h"

#include <sys/stat.h>

#include <chrono>
#include <mutex>
#include <string>
#include <unordered_map>

namespace tessary::settled_files {

namespace {

// Material files are a few hundred bytes; a batch reads a few thousand of them.
constexpr size_t kLargestFile = 64 * 1024;
constexpr size_t kMostBytes = 16 * 1024 * 1024;

struct Identity {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  timespec modified{};
  timespec changed{};

  explicit Identity(const struct stat& st)
      : device(st.st_dev), inode(st.st_ino), size(st.st_size), modified(st.st_mtim), changed(st.st_ctim) {}

  bool operator==(const Identity& o) const {
    return device == o.device && inode == o.inode && size == o.size && SameTime(modified, o.modified) &&
           SameTime(changed, o.changed);
  }
};

struct Kept {
  Identity identity;
  Contents bytes;
};

std::mutex mutex;
std::chrono::nanoseconds settleTime = std::chrono::seconds(2);

bool Settled(const timespec& stamp) {
  std::lock_guard lock(mutex);
  return OlderThan(stamp, settleTime);
}

std::unordered_map<std::string, Kept> kept;
size_t keptBytes = 0;

}  // namespace

Contents Find(const std::filesystem::path& file) {
  {
    std::lock_guard lock(mutex);
    if (kept.find(file.native()) == kept.end()) return nullptr;
  }
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return nullptr;
  std::lock_guard lock(mutex);
  auto it = kept.find(file.native());
  if (it == kept.end() || !(it->second.identity == Identity(st))) return nullptr;
  return it->second.bytes;
}

void Keep(const std::filesystem::path& file, const Contents& bytes) {
  if (!bytes || bytes->size() > kLargestFile) return;
  {
    std::lock_guard lock(mutex);
    if (keptBytes + bytes->size() > kMostBytes) return;
  }
  // Taken after the read: a change made since the file was opened shows in a recent time.
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
      static_cast<uint64_t>(st.st_size) != bytes->size() || !Settled(st.st_ctim))
    return;
  std::lock_guard lock(mutex);
  auto [it, added] = kept.try_emplace(file.native(), Kept{Identity(st), bytes});
  if (!added) {
    keptBytes -= it->second.bytes->size();
    it->second = Kept{Identity(st), bytes};
  }
  keptBytes += bytes->size();
}

void SetSettleTime(std::chrono::nanoseconds age) {
  std::lock_guard lock(mutex);
  settleTime = age;
  kept.clear();
  keptBytes = 0;
}

}  // namespace tessary::settled_files
