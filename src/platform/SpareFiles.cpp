#include "platform/SpareFiles.h"

#include <unistd.h>

#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace tessary {

namespace {

// A batch in flight keeps a few models' files; more are removed.
constexpr size_t kMostSpares = 256;

std::mutex mutex;
bool keeping = false;
size_t count = 0;
std::unordered_map<std::string, std::vector<SpareFiles::Spare>> byFolder;

}  // namespace

SpareFiles::SpareFiles() {
  std::lock_guard lock(mutex);
  keeping = true;
}

SpareFiles::~SpareFiles() {
  std::lock_guard lock(mutex);
  for (const auto& [folder, spares] : byFolder)
    for (const Spare& spare : spares) ::unlink(spare.file.c_str());
  byFolder.clear();
  count = 0;
  keeping = false;
}

bool SpareFiles::Give(const std::filesystem::path& file, const struct stat& status) {
  if (!S_ISREG(status.st_mode) || status.st_nlink != 1) return false;
  std::lock_guard lock(mutex);
  if (!keeping || count >= kMostSpares) return false;
  byFolder[file.parent_path().string()].push_back({file, status.st_dev, status.st_ino});
  ++count;
  return true;
}

std::optional<SpareFiles::Spare> SpareFiles::Take(const std::filesystem::path& folder) {
  std::lock_guard lock(mutex);
  auto it = byFolder.find(folder.string());
  if (it == byFolder.end() || it->second.empty()) return std::nullopt;
  Spare spare = std::move(it->second.back());
  it->second.pop_back();
  --count;
  return spare;
}

}  // namespace tessary
