#include "platform/OutputFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

#include "platform/Disk.h"

namespace fs = std::filesystem;

namespace tessary {

namespace {

constexpr size_t kWriteBuffer = size_t{1} << 18;
constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
constexpr size_t kSuffixLength = 6;

std::string Reason(int error) { return error != 0 ? std::strerror(error) : "write error"; }

// A path as messages show it: the readers' "xmodel\..\obj" steps taken out.
std::string Shown(const fs::path& path) { return path.lexically_normal().string(); }

// Why the entry whose own status (links not followed) is `st` may not be replaced.
std::string WhyNotReplaceable(const fs::path& target, const struct stat& st) {
  if (S_ISLNK(st.st_mode)) return {};  // the link itself is replaced
  if (!S_ISREG(st.st_mode)) return Shown(target) + " is not a regular file";
  const bool writable = ::geteuid() == 0 ? (st.st_mode & 0222) != 0 : ::access(target.c_str(), W_OK) == 0;
  if (!writable) return Shown(target) + " is read-only";
  return {};
}

bool IsTemporaryName(const std::string& name) {
  if (name.size() < 1 + 4 + kSuffixLength || name[0] != '.') return false;
  const size_t suffix = name.size() - kSuffixLength;
  if (name.compare(suffix - 4, 4, ".tmp") != 0) return false;
  return name.find_first_not_of(kLetters, suffix) == std::string::npos;
}

}  // namespace

// ".<name>.tmp" and six random letters; a file is created under it exclusively, so a name
// in use only costs another try.
fs::path TemporaryName(const fs::path& target) {
  std::random_device random;
  std::string name = "." + target.filename().string() + ".tmp";
  for (size_t i = 0; i < kSuffixLength; ++i) name += kLetters[random() % (sizeof kLetters - 1)];
  return target.parent_path() / name;
}

std::string WhyNotReplaceable(const fs::path& target) {
  struct stat st {};
  if (::lstat(target.c_str(), &st) != 0) return {};  // nothing there yet
  return WhyNotReplaceable(target, st);
}

OutputFile::~OutputFile() { Discard(); }

bool OutputFile::Open(Disk& disk, std::string_view path) { return Open(disk, path, disk.Resolve(path)); }

bool OutputFile::Open(Disk& disk, std::string_view path, const fs::path& resolved, bool knownMissing) {
  bool ok = OpenExact(resolved, knownMissing);
  joined_ = path;
  disk_ = &disk;
  return ok;
}

bool OutputFile::OpenExact(const fs::path& target, bool knownMissing) {
  Discard();
  joined_.clear();
  disk_ = nullptr;
  error_.clear();
  writeError_ = 0;
  target_ = target;
  link_ = replaces_ = false;
  struct stat st {};
  if (!knownMissing && ::lstat(target_.c_str(), &st) == 0) {
    if (std::string why = WhyNotReplaceable(target_, st); !why.empty()) {
      error_ = std::move(why);
      return false;
    }
    link_ = S_ISLNK(st.st_mode);
    // A link is replaced by a file with the permissions of the file it led to.
    replaces_ = !link_ || (::stat(target_.c_str(), &st) == 0 && S_ISREG(st.st_mode));
    owner_ = st.st_uid;
    group_ = st.st_gid;
    mode_ = st.st_mode & 07777;
  }
  // Made with the permissions it ends with where it can be: no wider than the file it
  // replaces, and the usual ones for a new file.
  const mode_t mode = replaces_ ? mode_ & 0666 : 0666;
  for (int attempt = 0;; ++attempt) {
    fs::path name = TemporaryName(target_);
    int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, mode);
    if (fd >= 0) {
      // Held locked while it is written: RemoveStaleTemporaries leaves it alone.
      (void)::flock(fd, LOCK_EX | LOCK_NB);
      fd_ = fd;
      temp_ = std::move(name);
      return true;
    }
    if (errno != EEXIST || attempt == 100) {
      const int error = errno;
      error_ = "cannot write " + Shown(target_) + ": " + Reason(error);
      errno = error;
      return false;
    }
  }
}

void OutputFile::Write(const void* data, size_t size) {
  if (fd_ < 0 || size == 0 || writeError_ != 0) return;
  if (buffer_.size() + size > kWriteBuffer && !Flush()) return;
  if (size >= kWriteBuffer)
    WriteOut(static_cast<const char*>(data), size);  // large enough to go out as it is
  else
    buffer_.append(static_cast<const char*>(data), size);
}

bool OutputFile::Flush() {
  WriteOut(buffer_.data(), buffer_.size());
  buffer_.clear();
  return writeError_ == 0;
}

void OutputFile::WriteOut(const char* data, size_t size) {
  size_t done = 0;
  while (done < size && writeError_ == 0) {
    ssize_t n = ::write(fd_, data + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0)
      writeError_ = n < 0 ? errno : ENOSPC;
    else
      done += static_cast<size_t>(n);
  }
}

void OutputFile::WriteText(std::string_view text) {
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') {
      Write(text.data() + start, i - start);
      Write("\r\n", 2);
      start = i + 1;
    }
  }
  Write(text.data() + start, text.size() - start);
}

void OutputFile::Fail(const char* doing, int error) {
  error_ = std::string(doing) + " " + Shown(target_) + ": " + Reason(error);
  Discard();
}

fs::path OutputFile::Finish() {
  if (fd_ < 0) {
    if (error_.empty()) error_ = "cannot write " + Shown(target_);
    return {};
  }
  if (!Flush()) {
    Fail("cannot write", writeError_);
    return {};
  }
  // A file that is replaced keeps its permissions (and, where allowed, its owner); a new
  // one was made with the usual ones.
  if (replaces_) {
    struct stat now {};
    const bool known = ::fstat(fd_, &now) == 0;
    bool setMode = !known || (now.st_mode & 07777) != mode_;
    if (!known || now.st_uid != owner_ || now.st_gid != group_) {
      // Only the owner's own files, or root, can keep another owner: not an error.
      (void)::fchown(fd_, owner_, group_);
      setMode = true;  // a change of owner may clear the set-id bits
    }
    if (setMode && ::fchmod(fd_, mode_) != 0) {
      Fail("cannot write", errno);
      return {};
    }
  }
  const int closed = ::close(fd_);
  fd_ = -1;
  if (closed != 0) {
    Fail("cannot write", errno);
    return {};
  }
  return std::exchange(temp_, {});
}

bool OutputFile::Commit() {
  const fs::path temp = Finish();
  if (temp.empty()) return false;
  if (::rename(temp.c_str(), target_.c_str()) != 0) {
    const int error = errno;
    ::unlink(temp.c_str());
    error_ = "cannot write " + Shown(target_) + ": " + Reason(error);
    return false;
  }
  if (disk_) disk_->NoteWritten(target_);
  return true;
}

void OutputFile::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  buffer_.clear();
  if (!temp_.empty()) ::unlink(temp_.c_str());
  temp_.clear();
}

void RemoveStaleTemporaries(const fs::path& folder, fs::file_time_type before) {
  std::error_code ec;
  fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec);
  for (fs::directory_iterator end; !ec && it != end; it.increment(ec)) {
    const fs::path& path = it->path();
    if (!IsTemporaryName(path.filename().string())) continue;
    std::error_code statError;
    if (!it->is_regular_file(statError) || it->is_symlink(statError)) continue;
    if (it->last_write_time(statError) >= before || statError) continue;
    // A file some program still writes is locked by it.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) continue;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) ::unlink(path.c_str());
    ::close(fd);
  }
}

}  // namespace tessary
