#include "platform/ReadCache.h"

namespace tessary {

namespace {
thread_local ReadCache* current = nullptr;
}  // namespace

ReadCache::Scope::Scope(ReadCache& cache) : previous_(current) { current = &cache; }

ReadCache::Scope::~Scope() { current = previous_; }

ReadCache* ReadCache::Current() { return current; }

std::optional<ReadCache::Contents> ReadCache::FindOpened(std::string_view path) const {
  auto it = opened_.find(path);
  if (it == opened_.end()) return std::nullopt;
  return it->second;
}

void ReadCache::NoteOpened(std::string_view path, Contents contents) {
  opened_.insert_or_assign(std::string(path), std::move(contents));
}

std::optional<bool> ReadCache::FindExists(std::string_view path) const {
  auto it = exists_.find(path);
  if (it == exists_.end()) return std::nullopt;
  return it->second;
}

void ReadCache::NoteExists(std::string_view path, bool exists) {
  exists_.insert_or_assign(std::string(path), exists);
}

const ReadCache::Resolved* ReadCache::FindResolved(std::string_view path) const {
  auto it = resolved_.find(path);
  return it == resolved_.end() ? nullptr : &it->second;
}

void ReadCache::NoteResolved(std::string_view path, Resolved resolved) {
  resolved_.insert_or_assign(std::string(path), std::move(resolved));
}

std::optional<const struct stat*> ReadCache::FindFolderStatus(const std::string& folder) const {
  auto it = folders_.find(folder);
  if (it == folders_.end()) return std::nullopt;
  return it->second ? &*it->second : nullptr;
}

void ReadCache::NoteFolderStatus(const std::string& folder, const struct stat* status) {
  folders_.insert_or_assign(folder, status ? std::optional<struct stat>(*status) : std::nullopt);
}

}  // namespace tessary
