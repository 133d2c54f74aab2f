#pragma once
// An output file that appears whole or not at all: bytes go to a temporary file in the
// target's folder, which `Commit` renames into place (or, for a name that does not exist
// yet, to a file without a name, which `Commit` links in under the target's name).
// Destroying an uncommitted file removes the temporary, so a failed export leaves nothing
// half-written behind.
//
// A file the user has made read-only is not replaced (Open refuses it, with the reason in
// Error()); a file that is replaced keeps its permissions. While an OutputSet is open on
// this thread, Commit hands the finished file to the set instead of renaming it, so that
// several files appear together or not at all.
#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tessary {

// A written file that has no name yet (made with O_TMPFILE); closing it without linking
// it anywhere leaves nothing behind. Move-only.
class UnnamedFile {
 public:
  UnnamedFile() = default;
  explicit UnnamedFile(int fd);
  ~UnnamedFile() { Close(); }
  UnnamedFile(UnnamedFile&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  UnnamedFile& operator=(UnnamedFile&& other) noexcept {
    if (this != &other) {
      Close();
      fd_ = other.fd_;
      other.fd_ = -1;
    }
    return *this;
  }
  int Descriptor() const { return fd_; }
  bool IsOpen() const { return fd_ >= 0; }
  void Close();
  // Gives the file the name `path`; false with errno set when it cannot.
  bool LinkAs(const std::filesystem::path& path) const;

 private:
  int fd_ = -1;
};

class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // `path` is a joined path; it is resolved as ResolvePath does, so a file that exists
  // under another letter case is the one replaced.
  bool Open(std::string_view path);
  // The same for a path already resolved to `resolved`; `knownMissing` when the look-up
  // has just found nothing there.
  bool Open(std::string_view path, const std::filesystem::path& resolved, bool knownMissing = false);
  // Opens a file system path as it is (no case-insensitive look-up).
  bool OpenExact(const std::filesystem::path& target) { return OpenExact(target, false); }
  bool IsOpen() const { return fd_ >= 0; }
  // Whether the target was a symbolic link when the file was opened (the link, not what
  // it points to, is what Commit replaces).
  bool TargetIsLink() const { return existing_.link; }

  void Write(const void* data, size_t size);
  void Write(std::string_view bytes) { Write(bytes.data(), bytes.size()); }
  // Text of the Windows text-mode formats: every line feed is written as CR LF.
  void WriteText(std::string_view text);

  // Flushes, closes and renames into place; false (and nothing left behind) on failure.
  bool Commit();
  // Removes the temporary without writing the target.
  void Discard();
  const std::filesystem::path& Target() const { return target_; }
  // Why Open or Commit failed, naming the file; empty before a failure.
  const std::string& Error() const { return error_; }

 private:
  // What stood at the target when the file was opened.
  struct Existing {
    bool present = false;
    bool link = false;
    uid_t owner = 0;
    gid_t group = 0;
    mode_t mode = 0;
  };
  bool OpenExact(const std::filesystem::path& target, bool knownMissing);
  bool Flush();
  // Hands `size` bytes at `data` to the file (unbuffered).
  void WriteOut(const char* data, size_t size);
  void CloseDescriptor();

  int fd_ = -1;
  UnnamedFile unnamed_;  // the file while it has no name (then fd_ is its descriptor)
  std::string buffer_;  // written bytes not yet handed to the file
  Existing existing_;
  std::string joined_;
  std::filesystem::path target_;
  std::filesystem::path temp_;
  bool failed_ = false;
  int writeError_ = 0;
  uint64_t written_ = 0;    // bytes handed to the file
  bool cutToOne_ = false;  // an old file written over, cut to its first byte
  bool permissionsSet_ = false;  // its owner and permissions are already the target's
  std::string error_;
};

// Why a file already at `target` may not be replaced (it is read-only for this user, or
// not a regular file), or empty when it may. Root counts a file as read-only when it has
// no write permission for anyone, as Windows' read-only attribute stops administrators.
std::string WhyNotReplaceable(const std::filesystem::path& target);

// Files committed while a set is open on this thread are kept as finished temporaries;
// Commit renames them all into place, and a set destroyed uncommitted (or a failed
// Commit) removes them and puts back whatever they would have replaced.
class OutputSet {
 public:
  OutputSet();
  ~OutputSet();
  OutputSet(const OutputSet&) = delete;
  OutputSet& operator=(const OutputSet&) = delete;

  // Renames every file into place; false (with nothing of the set left) on failure.
  bool Commit();
  void Discard();
  const std::string& Error() const { return error_; }

  // A finished temporary and the target it is renamed onto; `existed` tells whether
  // something stood at the target when the file was opened. A file made without a name
  // has an empty `temp` and is linked in from `unnamed`.
  struct Pending {
    std::filesystem::path temp;
    std::filesystem::path target;
    bool existed = false;
    UnnamedFile unnamed;
  };
  // Called by OutputFile::Commit.
  void Adopt(Pending file);
  static OutputSet* Current();

 private:
  std::vector<Pending> pending_;
  OutputSet* previous_;
  std::string error_;
};

// Output files whose renaming into place is held back: while a queue is installed on a
// thread, `OutputFile::Commit` on that thread finishes the file under its temporary name
// and reports success, and `Apply` later renames the files in the order they were
// committed. A batch that exports several models at once installs one per model and
// applies them in the models' order, so that where two models write the same file the
// folder ends as a one-by-one run leaves it.
class CommitQueue {
 public:
  CommitQueue() = default;
  ~CommitQueue();  // removes the temporaries not applied
  CommitQueue(const CommitQueue&) = delete;
  CommitQueue& operator=(const CommitQueue&) = delete;
  CommitQueue(CommitQueue&&) = default;
  CommitQueue& operator=(CommitQueue&&) = default;

  // Installs `queue` for the calling thread for the lifetime of this object.
  class Scope {
   public:
    explicit Scope(CommitQueue& queue);
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

   private:
    CommitQueue* previous_;
  };

  // Renames the held files into place (each target resolved now, as Commit would have
  // resolved it). On a failure none of them is left: the files already renamed are put
  // back as they were, and the result is the target that could not be written; empty
  // when every file was written.
  std::filesystem::path Apply();

 private:
  friend class OutputFile;
  struct Held {
    OutputSet::Pending file;
    std::string joined;  // empty when the target was given resolved
  };
  std::vector<Held> held_;
};

}  // namespace tessary
