#pragma once
// Paths are built the way the games' tools build them: plain concatenation of 8-bit
// pieces with backslashes ("\..\xmodelsurfs"), never normalised. These helpers map such
// a path onto the local file system when it is used.
#include <filesystem>
#include <string>
#include <string_view>

namespace tessary {

// Joins three pieces with no separator of its own; "" is allowed for any piece.
std::string ConcatPath(std::string_view a, std::string_view b, std::string_view c = "");

// Replaces every backslash with the platform separator.
std::string ToNativeSeparators(std::string_view path);

// Maps a joined path onto the file system. When the path does not exist exactly, each
// component is matched case-insensitively against the entries that exist (the first
// match in byte order wins). Components that match nothing are kept as written, so the
// result can also name a file that is about to be created.
std::filesystem::path ResolvePath(std::string_view path);
// The same, telling whether every name of the path was found.
std::filesystem::path ResolvePath(std::string_view path, bool& found);

// ResolvePath for a path whose folder is usually there as written: the last name is
// looked up in the folder's kept listing (an entry spelled exactly as asked first), so
// that only the folder, not the name, costs a look at the disk.
std::filesystem::path ResolveInListing(std::string_view path, bool& found);

// Existence test with the rule of the games' tools: nothing found is false, and so is a
// plain folder; a file, or a folder carrying further attributes (read-only or hidden),
// counts as existing.
bool FileExists(std::string_view path);

// Forgets cached folder listings (they are also refreshed when a folder changes).
void ClearDirectoryCache();
// Tells the cache that `file` was just written into its folder, so that a batch of
// writes into one folder does not list it again after each file.
void NoteFileWritten(const std::filesystem::path& file);

// The part of a path after its last separator (either kind).
std::string BareFileName(std::string_view path);

}  // namespace tessary
