#pragma once
// Listings of folders kept for the case-insensitive name look-up, so that a batch that
// looks up or writes thousands of names in one folder lists that folder once.
//
// A kept listing stays right by following the folder's changes. Where the system reports
// changes to a folder (inotify on local file systems), each listing is brought up to date
// from those reports before it answers, whoever made the change: this program, another
// thread of it or another program. Elsewhere (network file systems, or when no more
// folders can be watched) a listing is checked against the folder's modification time and
// kept only while that time is over two seconds old, since a folder that changed within
// the time stamp's resolution may change again without a new time.
//
// Safe to use from several threads at once.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessary {

namespace folder_index {

// The entry of `dir` whose name equals `name` ignoring the case of ASCII letters; of
// several, the first in byte order. Nullopt when none does or `dir` is not a folder.
std::optional<std::string> FindNoCase(const std::filesystem::path& dir, std::string_view name);

// The entry of `dir` named `name` as it is spelled when there is one, else as FindNoCase.
std::optional<std::string> FindName(const std::filesystem::path& dir, std::string_view name);

// FindNoCase (FindName when `asSpelled`) for a `dir` that may not be a folder: false when
// it is not one (nothing is looked up), else true with the entry found, if any, in `found`.
bool FindInFolder(const std::filesystem::path& dir, std::string_view name,
                  std::optional<std::string>& found, bool asSpelled = false);

// Every entry of `dir` in byte order (empty when it is not a folder that can be listed).
std::vector<std::string> Entries(const std::filesystem::path& dir);

// Tells the index that this program has just created or replaced `file`; a folder whose
// changes are not reported then keeps its listing instead of being listed again.
void NoteFileWritten(const std::filesystem::path& file);

// Tells the index that `file` is there now, whatever the reports so far say: a file that
// traded places with another (an exchanging rename) is reported as moved away.
void NoteFileThere(const std::filesystem::path& file);

// Forgets every listing.
void Clear();

// How many times a folder has been read from the disk since the program started.
uint64_t ListingCount();

// Whether folders' changes are followed through the system's reports (true unless they
// are unavailable or switched off); switching forgets every listing. Tests use it to run
// the time-stamp rule.
bool UsesChangeReports();
void SetUseChangeReports(bool use);

}  // namespace folder_index

}  // namespace tessary
