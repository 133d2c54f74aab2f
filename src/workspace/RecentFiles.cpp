#include "workspace/RecentFiles.h"

#include <algorithm>

#include "platform/AsciiCase.h"
#include "workspace/ProfileKeys.h"

namespace tessary {


void RecentFiles::AddRecentFile(const std::string& name) {
  bool present = std::any_of(entries_.begin(), entries_.end(),
                             [&](const std::string& e) { return EqualsIgnoringCase(e, name); });
  if (!present) entries_.push_back(name);
  if (entries_.size() > kMaxEntries) entries_.erase(entries_.begin());
}

void RecentFiles::RemoveAt(size_t index) {
  if (index < entries_.size()) entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
}

void RecentFiles::Load(ISettingsStore& profile) {
  for (int i = 0; i < static_cast<int>(kMaxEntries); ++i) {
    std::string name = profile.GetProfileString(profile::kRecentFiles, std::to_string(i));
    if (!name.empty()) AddRecentFile(name);
  }
}

void RecentFiles::Save(ISettingsStore& profile) {
  int i = 0;
  while (!entries_.empty()) {
    std::string text = entries_.front();
    entries_.erase(entries_.begin());
    profile.WriteProfileString(profile::kRecentFiles, std::to_string(i), text);
    ++i;
  }
}

}  // namespace tessary
