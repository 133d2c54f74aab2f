#pragma once
// An output file that appears whole or not at all: bytes go to a temporary file beside the
// target (".<name>.tmp" and six letters), which `Commit` renames into place. Destroying an
// uncommitted file removes the temporary, so a failed export leaves nothing half-written
// behind; temporaries that a killed program left are removed by RemoveStaleTemporaries.
//
// A file the user has made read-only is not replaced (Open refuses it, with the reason in
// Error()); a file that is replaced keeps its permissions. Several files that must appear
// together go through a FileSet (FileSet.h) instead of their own Commit.
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/OutputFileSystem.h"

namespace tessary {

class Disk;

class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // `path` is a joined path, looked up on `disk`, so a file that exists under another
  // letter case is the one replaced; Commit tells `disk` of the file written.
  bool Open(Disk& disk, std::string_view path);
  // The same for a path already looked up to `resolved`; `knownMissing` when the look-up
  // has just found nothing there.
  bool Open(Disk& disk, std::string_view path, const std::filesystem::path& resolved, bool knownMissing = false);
  // Opens a file system path as it is (no case-insensitive look-up).
  bool OpenExact(const std::filesystem::path& target) { return OpenExact(target, false); }
  bool IsOpen() const { return fd_ >= 0; }
  // Whether the target was a symbolic link when the file was opened (the link, not what
  // it points to, is what Commit replaces).
  bool TargetIsLink() const { return state_.link; }
  // Whether something (a file or a link) stood at the target when the file was opened.
  bool TargetExisted() const { return state_.link || state_.regular; }

  void Write(const void* data, size_t size);
  void Write(std::string_view bytes) { Write(bytes.data(), bytes.size()); }
  // Text of the Windows text-mode formats: every line feed is written as CR LF.
  void WriteText(std::string_view text);

  // Flushes, closes and renames into place; false (and nothing left behind) on failure.
  bool Commit();
  // Removes the temporary without writing the target.
  void Discard();
  const std::filesystem::path& Target() const { return target_; }
  // The joined path it was opened with (empty when opened by its file system path).
  const std::string& JoinedPath() const { return joined_; }
  // Why Open or Commit failed, naming the file; empty before a failure.
  const std::string& Error() const { return error_; }

  // What a FileSet does instead of Commit: the bytes written out, the file closed with the
  // permissions it ends with, still under its temporary name, which the caller then owns
  // (an empty path and the reason in Error() on failure, with nothing left behind).
  std::filesystem::path Finish();

 private:
  bool OpenExact(const std::filesystem::path& target, bool knownMissing);
  bool Flush();
  void Fail(int error);
  // The file replaced, whose permissions the new one takes; null for a new file.
  const outfs::TargetState* Replaced() const { return state_.regular ? &state_ : nullptr; }

  Disk* disk_ = nullptr;  // told of the file once it is written
  int fd_ = -1;
  std::string buffer_;  // written bytes not yet handed to the file
  outfs::TargetState state_;  // what stood at the target when the file was opened
  std::string joined_;
  std::filesystem::path target_;
  std::filesystem::path temp_;
  int writeError_ = 0;  // the first failed write's reason
  std::string error_;
};

// Why a file already at `target` may not be replaced (it is read-only for this user, or
// not a regular file), or empty when it may.
std::string WhyNotReplaceable(const std::filesystem::path& target);

// A name for a temporary beside `target` that is unlikely to be in use.
std::filesystem::path TemporaryName(const std::filesystem::path& target);

// Removes from `folder` the temporaries of output files (named as above) last changed
// before `before` that no program is writing: what an export killed midway left.
void RemoveStaleTemporaries(const std::filesystem::path& folder, std::filesystem::file_time_type before);

}  // namespace tessary
