#pragma once
// The built-in extractor that stands in for WinRAR: it opens the game's archives
// (`main/iw_*.iwd` of the game folder, in case-insensitive name order, as the Windows
// file system lists them) and extracts every entry whose file name matches the mask,
// with its folders, into the working folder; a later archive's file replaces an earlier
// one's. An entry is never written outside the working folder: names with "..", absolute
// names and links are skipped, and each skip is reported through the notifier.
#include <string>
#include <string_view>
#include <vector>

namespace tessary {

// Matches `name` against a mask of "*" (any run) and "?" (any one character), ignoring
// letter case.
bool MatchesMask(std::string_view mask, std::string_view name);

// The archives of `gameFolder` + "main\iw_*.iwd", in the order they are opened.
std::vector<std::string> ListGameArchives(const std::string& gameFolder);

// Extracts from one archive every entry whose file name (the part after its last folder)
// matches `fileMask`. Returns how many files were written.
int ExtractMatchingEntries(const std::string& archive, const std::string& fileMask,
                           const std::string& workingFolder);

// Runs ExtractMatchingEntries over every archive of the game folder.
int ExtractFromGameArchives(const std::string& gameFolder, const std::string& fileMask,
                            const std::string& workingFolder);

}  // namespace tessary
