#pragma once
// The built-in extractor that stands in for WinRAR: it opens the game's archives
// (`main/iw_*.iwd` of the game folder, in case-insensitive name order, as the Windows
// file system lists them) and extracts every entry whose file name matches the mask,
// with its folders, into the working folder; a later archive's file replaces an earlier
// one's. An entry is never written outside the working folder: names with "..", absolute
// names and links are skipped, and each skip is reported through the notifier handed in. No entry
// grows past a size limit that no game file comes near, and extraction stops before the
// target's free space would fall under a margin.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Notifier.h"

namespace tessary {

struct ExtractLimits {
  // The largest file an entry may inflate to; the game's largest files are a few MiB.
  uint64_t maxEntryBytes = uint64_t{256} << 20;
  // The free space the target keeps; an entry that would leave less stops the extraction.
  uint64_t freeSpaceMargin = uint64_t{64} << 20;
  // The free space of a folder, nullopt when it cannot be told (tests put in their own).
  std::function<std::optional<uint64_t>(const std::filesystem::path&)> freeSpace;
};

// "256 MiB", "1.5 KiB": a byte count as the messages show it.
std::string FormatByteCount(uint64_t bytes);

// Matches `name` against a mask of "*" (any run) and "?" (any one character), ignoring
// letter case.
bool MatchesMask(std::string_view mask, std::string_view name);

// The archives of `gameFolder` + "main\iw_*.iwd", in the order they are opened.
std::vector<std::string> ListGameArchives(const std::string& gameFolder);

// Extracts from one archive every entry whose file name (the part after its last folder)
// matches `fileMask`, telling `notifier` of what it skips. Returns how many files were
// written.
int ExtractMatchingEntries(const std::string& archive, const std::string& fileMask,
                           const std::string& workingFolder, INotifier& notifier,
                           const ExtractLimits& limits = {});

// Runs ExtractMatchingEntries over every archive of the game folder.
int ExtractFromGameArchives(const std::string& gameFolder, const std::string& fileMask,
                            const std::string& workingFolder, INotifier& notifier,
                            const ExtractLimits& limits = {});

}  // namespace tessary
