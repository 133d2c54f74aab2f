#pragma once
// The "Recent files:" list: model names, oldest first, at most five. It starts with one
// empty entry (the form's initial data), which counts like any other.
#include <string>
#include <vector>

#include "platform/SettingsStore.h"

namespace tessary {

class RecentFiles {
 public:
  static constexpr size_t kMaxEntries = 5;

  // Appends `name` unless an entry equal to it, ignoring letter case, is there already;
  // then drops the first entry while there are more than five.
  void AddRecentFile(const std::string& name);

  // Adds the non-empty stored values "RecentFiles"\"0" to "4", in that order, to what the
  // list already holds.
  void Load(ISettingsStore& profile);

  // Empties the list into "RecentFiles"\"0", "1", ... (the initial empty entry too);
  // values numbered at or above the count are left as they were.
  void Save(ISettingsStore& profile);

  // Removes the entry at `index` (nothing when there is none).
  void RemoveAt(size_t index);

  const std::vector<std::string>& Entries() const { return entries_; }

 private:
  std::vector<std::string> entries_{std::string()};
};

}  // namespace tessary
