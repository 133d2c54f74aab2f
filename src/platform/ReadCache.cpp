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

}  // namespace tessary
