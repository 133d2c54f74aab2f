#pragma once
// The system's side of the output files (OutputFile.h, FileSet.h): what stands at a
// target, creating, writing and closing a file with the permissions of the file it
// replaces, and putting it in place. posix/OutputFileSystem.cpp implements it; error
// numbers are errno values.
#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace tessary::outfs {

// What stands at a target, links not followed.
struct TargetState {
  bool link = false;      // a symbolic link: the link is what gets replaced
  bool regular = false;   // a regular file (for a link, where it leads)
  bool other = false;     // something else (a folder, a FIFO, a device)
  bool readOnly = false;  // a regular file (not a link) this user may not replace
  uint32_t owner = 0, group = 0, mode = 0;  // that file's owner and permissions
};
TargetState Inspect(const std::filesystem::path& target);

// Creates `name` exclusively, for writing, with the permissions of `like` (no wider than
// them) or else the usual ones, and holds it locked (RemoveUnlessLocked). A handle, or -1
// with the reason in errno (EEXIST: the name is taken).
int CreateNew(const std::filesystem::path& name, const TargetState* like);
// Writes all `size` bytes: 0, or the error number.
int WriteAll(int handle, const char* data, size_t size);
// Gives the file the owner (where allowed) and the permissions of `like`, when given, and
// closes it: 0, or the error number (closed either way).
int Close(int handle, const TargetState* like);
// Renames `from` to `to`, replacing a file at `to` in one step: 0, or the error number.
// POSIX rename replaces; Windows' rename fails over an existing file, where MoveFileEx with
// MOVEFILE_REPLACE_EXISTING is the call that replaces.
int Replace(const std::filesystem::path& from, const std::filesystem::path& to);
// Removes the file at `path` unless a program holds it locked.
void RemoveUnlessLocked(const std::filesystem::path& path);

}  // namespace tessary::outfs
