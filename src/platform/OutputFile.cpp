#include "platform/OutputFile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <system_error>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "platform/FolderIndex.h"
#include "platform/Path.h"
#include "platform/ReadCache.h"
#include "platform/SpareFiles.h"

namespace fs = std::filesystem;

namespace tessary {

namespace {

thread_local OutputSet* currentSet = nullptr;
thread_local CommitQueue* heldCommits = nullptr;

uid_t EffectiveUser() {
  static const uid_t user = ::geteuid();
  return user;
}

std::string Reason(int error) { return error != 0 ? std::strerror(error) : "write error"; }

// A path as messages show it: the readers' "xmodel\..\obj" steps taken out.
std::string Shown(const fs::path& path) { return path.lexically_normal().string(); }

// Why the entry whose own status (links not followed) is `st` may not be replaced.
std::string WhyNotReplaceable(const fs::path& target, const struct stat& st) {
  if (S_ISLNK(st.st_mode)) return {};  // the link itself is replaced
  if (!S_ISREG(st.st_mode)) return Shown(target) + " is not a regular file";
  bool writable = EffectiveUser() == 0 ? (st.st_mode & 0222) != 0 : ::access(target.c_str(), W_OK) == 0;
  if (!writable) return Shown(target) + " is read-only";
  return {};
}

// A name for a temporary beside the target that no one is likely to use; the file is
// created exclusively, so a name in use only costs another try.
std::string TemporarySuffix() {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  thread_local std::minstd_rand random(static_cast<unsigned>(
      std::hash<std::thread::id>()(std::this_thread::get_id()) ^ static_cast<size_t>(::getpid()) ^
      static_cast<size_t>(std::chrono::steady_clock::now().time_since_epoch().count())));
  std::string suffix(6, 'x');
  for (char& c : suffix) c = kLetters[random() % (sizeof kLetters - 1)];
  return suffix;
}

// The name of a temporary beside `target` without its random suffix: ".<name>.tmp".
std::string TemporaryStem(const fs::path& target) {
  const fs::path dir = target.parent_path();
  return (dir.empty() ? fs::path(".") : dir).string() + "/." + target.filename().string() + ".tmp";
}

constexpr size_t kWriteBuffer = size_t{1} << 18;

// Files without a name are held open until they are linked in; a batch holds a few
// models' files at once. Beyond a quarter of the descriptors this process may open (and
// at most 256) the named temporaries are used, so that many jobs cannot run out of them.
int MaxUnnamedOpen() {
  static const int most = [] {
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return 256;
    return static_cast<int>(std::min<rlim_t>(256, limit.rlim_cur / 4));
  }();
  return most;
}
std::atomic<int> unnamedOpen{0};
// Set once the file system has refused a file without a name.
std::atomic<bool> unnamedRefused{false};

// Whether a new file can be made without a name and linked in later: that needs /proc
// (linkat by descriptor without privileges) and a file system that supports it.
bool MayMakeUnnamed() {
  static const bool proc = ::access("/proc/self/fd", X_OK) == 0;
  return proc && !unnamedRefused.load(std::memory_order_relaxed) &&
         unnamedOpen.load(std::memory_order_relaxed) < MaxUnnamedOpen();
}

size_t PlaceAll(std::vector<OutputSet::Pending>& files, int& error);

}  // namespace

UnnamedFile::UnnamedFile(int fd) : fd_(fd) {
  if (fd_ >= 0) unnamedOpen.fetch_add(1, std::memory_order_relaxed);
}

void UnnamedFile::Close() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
  unnamedOpen.fetch_sub(1, std::memory_order_relaxed);
}

bool UnnamedFile::LinkAs(const fs::path& path) const {
  if (fd_ < 0) {
    errno = EBADF;
    return false;
  }
  const std::string self = "/proc/self/fd/" + std::to_string(fd_);
  return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

std::string WhyNotReplaceable(const fs::path& target) {
  struct stat st {};
  if (::lstat(target.c_str(), &st) != 0) return {};  // nothing there yet
  return WhyNotReplaceable(target, st);
}

OutputFile::~OutputFile() { Discard(); }

bool OutputFile::Open(std::string_view path) { return Open(path, ResolvePath(path)); }

bool OutputFile::Open(std::string_view path, const fs::path& resolved, bool knownMissing) {
  bool ok = OpenExact(resolved, knownMissing);
  joined_ = path;
  return ok;
}

bool OutputFile::OpenExact(const fs::path& target, bool knownMissing) {
  Discard();
  joined_.clear();
  error_.clear();
  target_ = target;
  existing_ = {};
  auto fail = [&](std::string why) {
    error_ = std::move(why);
    return false;
  };
  struct stat st {};
  if (!knownMissing && ::lstat(target_.c_str(), &st) == 0) {
    if (std::string why = WhyNotReplaceable(target_, st); !why.empty()) return fail(why);
    existing_.link = S_ISLNK(st.st_mode);
    // A link is replaced by a file with the permissions of the file it led to.
    existing_.present = !existing_.link || (::stat(target_.c_str(), &st) == 0 && S_ISREG(st.st_mode));
    existing_.owner = st.st_uid;
    existing_.group = st.st_gid;
    existing_.mode = st.st_mode & 07777;
  }
  // Made with the permissions it ends with where it can be: no wider than the file it
  // replaces, and the usual ones for a new file.
  const mode_t mode = existing_.present ? existing_.mode & 0666 : 0666;
  fs::path dir = target_.parent_path();
  buffer_.clear();
  failed_ = false;
  writeError_ = 0;
  written_ = 0;
  cutToOne_ = false;
  permissionsSet_ = false;
  if (!existing_.present && !existing_.link && MayMakeUnnamed()) {
    // A new name: the file is written without one and linked in by Commit, so that the
    // folder sees one new entry and no temporary name.
    const fs::path folder = dir.empty() ? fs::path(".") : dir;
    int fd = ::open(folder.c_str(), O_WRONLY | O_TMPFILE | O_CLOEXEC, mode);
    if (fd >= 0) {
      unnamed_ = UnnamedFile(fd);
      fd_ = fd;
      return true;
    }
    if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL) unnamedRefused = true;
  }
  if (existing_.present && !existing_.link) {
    // A replacement: a file an earlier replacement traded out of this folder is written
    // over, if the batch keeps one, given the permissions a new temporary would have.
    while (auto spare = SpareFiles::Take(dir)) {
      // Only the very file that was kept, still without another name: whatever another
      // program has put under its name meanwhile is not written.
      int fd = ::open(spare->file.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW | O_NONBLOCK);
      struct stat st {};
      const bool same = fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_nlink == 1 &&
                        st.st_dev == spare->device && st.st_ino == spare->inode;
      // Cut to one byte, not to none: ext4 writes out on closing a file cut to nothing,
      // as it does for a rename over a file. The first byte written replaces it.
      if (same && ::ftruncate(fd, 1) == 0 && ((st.st_mode & 07777) == mode || ::fchmod(fd, mode) == 0)) {
        fd_ = fd;
        temp_ = std::move(spare->file);
        cutToOne_ = true;
        // Owned as the file it replaces, and with its permissions now: Commit has
        // nothing to set.
        permissionsSet_ = st.st_uid == existing_.owner && st.st_gid == existing_.group &&
                          (existing_.mode & ~mode_t{0666}) == 0;
        return true;
      }
      if (fd >= 0) ::close(fd);
      ::unlink(spare->file.c_str());
    }
  }
  const std::string base = TemporaryStem(target_);
  for (int attempt = 0;; ++attempt) {
    std::string name = base + TemporarySuffix();
    int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, mode);
    if (fd >= 0) {
      fd_ = fd;
      temp_ = std::move(name);
      break;
    }
    if (errno != EEXIST || attempt == 100) return fail("cannot write " + Shown(target_) + ": " + Reason(errno));
  }
  return true;
}

void OutputFile::Write(const void* data, size_t size) {
  if (fd_ < 0 || size == 0 || failed_) return;
  if (buffer_.empty() && size >= kWriteBuffer / 4) {
    // A writer's own buffer, large enough to go out as it is.
    WriteOut(static_cast<const char*>(data), size);
    return;
  }
  if (buffer_.size() + size > kWriteBuffer) {
    if (!Flush()) return;
    if (size >= kWriteBuffer) {
      WriteOut(static_cast<const char*>(data), size);
      return;
    }
  }
  if (buffer_.capacity() < kWriteBuffer) buffer_.reserve(kWriteBuffer);
  buffer_.append(static_cast<const char*>(data), size);
}

bool OutputFile::Flush() {
  WriteOut(buffer_.data(), buffer_.size());
  buffer_.clear();
  return !failed_;
}

void OutputFile::WriteOut(const char* data, size_t size) {
  size_t done = 0;
  while (done < size && !failed_) {
    ssize_t n = ::write(fd_, data + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      failed_ = true;
      writeError_ = n < 0 ? errno : ENOSPC;
    } else {
      done += static_cast<size_t>(n);
      written_ += static_cast<uint64_t>(n);
    }
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

void OutputFile::CloseDescriptor() {
  if (unnamed_.IsOpen())
    unnamed_.Close();
  else if (fd_ >= 0)
    ::close(fd_);
  fd_ = -1;
}

bool OutputFile::Commit() {
  if (fd_ < 0) return false;
  bool ok = !failed_ && Flush();
  int error = writeError_;
  if (ok && cutToOne_ && written_ == 0 && ::ftruncate(fd_, 0) != 0) ok = false, error = errno;
  // A file that is replaced keeps its permissions (and, where allowed, its owner); a new
  // one was made with the usual ones.
  if (ok && existing_.present && !permissionsSet_) {
    struct stat now {};
    const bool known = ::fstat(fd_, &now) == 0;
    bool setMode = !known || (now.st_mode & 07777) != existing_.mode;
    if (!known || now.st_uid != existing_.owner || now.st_gid != existing_.group) {
      if (::fchown(fd_, existing_.owner, existing_.group) != 0) {
        // Only the owner's own files, or root, can keep another owner: not an error.
      }
      setMode = true;  // a change of owner may clear the set-id bits
    }
    if (setMode && ::fchmod(fd_, existing_.mode) != 0) ok = false, error = errno;
  }
  const bool unnamed = unnamed_.IsOpen();
  if (!unnamed && ::close(fd_) != 0 && ok) {
    ok = false;
    error = errno;
  }
  fd_ = -1;
  const bool existed = existing_.present || existing_.link;
  // The file as it waits for its name: an unnamed one stays open until it is linked in.
  auto pending = [&] {
    OutputSet::Pending file{std::move(temp_), target_, existed, std::move(unnamed_)};
    temp_.clear();
    return file;
  };
  if (ok && heldCommits) {
    heldCommits->held_.push_back({pending(), joined_});
    return true;
  }
  if (ok) {
    if (OutputSet* set = OutputSet::Current()) {
      set->Adopt(pending());
      return true;
    }
    if (unnamed) {
      std::vector<OutputSet::Pending> one;
      one.push_back(pending());
      if (PlaceAll(one, error) != 1) ok = false;
    } else if (::rename(temp_.c_str(), target_.c_str()) != 0) {
      ok = false, error = errno;
    }
  }
  unnamed_.Close();
  if (!ok) {
    if (!temp_.empty()) ::unlink(temp_.c_str());
    error_ = "cannot write " + Shown(target_) + ": " + Reason(error);
  }
  temp_.clear();
  if (ok)
    NoteFileWritten(target_);
  else
    ClearDirectoryCache();
  return ok;
}

void OutputFile::Discard() {
  CloseDescriptor();
  buffer_.clear();
  if (!temp_.empty()) {
    ::unlink(temp_.c_str());
    temp_.clear();
  }
}

OutputSet::OutputSet() : previous_(currentSet) { currentSet = this; }

OutputSet::~OutputSet() {
  Discard();
  currentSet = previous_;
}

OutputSet* OutputSet::Current() { return currentSet; }

void OutputSet::Adopt(Pending file) { pending_.push_back(std::move(file)); }

void OutputSet::Discard() {
  for (const auto& p : pending_)
    if (!p.temp.empty()) ::unlink(p.temp.c_str());
  pending_.clear();
}

namespace {

// Gives a file made without a name a temporary name beside its target.
bool NameTemporary(OutputSet::Pending& file) {
  const std::string base = TemporaryStem(file.target);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = base + TemporarySuffix();
    if (file.unnamed.LinkAs(name)) {
      file.temp = std::move(name);
      file.unnamed.Close();
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

// Renames each file's temporary onto its target, all or none. A file that replaces one
// trades places with it, which thereby stays under the temporary's name until all are in
// place; on a failure the files renamed so far are put back. (Trading places also spares
// the replaced file's data a write-out that some file systems start when a file is
// renamed over another.) A file made without a name is linked in under its target's
// name; when something has taken that name meanwhile, it gets a temporary name and
// replaces it as the others do. The result is the index of the file that failed (with
// the reason in `error`), or the count when all were written.
size_t PlaceAll(std::vector<OutputSet::Pending>& files, int& error) {
  std::vector<bool> kept(files.size(), false);
  // Puts back what the first `count` files replaced, and removes the rest.
  auto putBack = [&](size_t count) {
    for (size_t i = 0; i < count; ++i) {
      const char* temp = files[i].temp.c_str();
      if (!kept[i])
        ::unlink(files[i].target.c_str());
      else if (::renameat2(AT_FDCWD, temp, AT_FDCWD, files[i].target.c_str(), RENAME_EXCHANGE) == 0)
        ::unlink(temp);
    }
    for (size_t i = count; i < files.size(); ++i) {
      if (!files[i].temp.empty()) ::unlink(files[i].temp.c_str());
      files[i].unnamed.Close();
    }
  };
  size_t done = 0;
  for (; done < files.size(); ++done) {
    OutputSet::Pending& f = files[done];
    bool existed = f.existed;
    if (f.temp.empty()) {
      if (f.unnamed.LinkAs(f.target)) {
        f.unnamed.Close();
        continue;
      }
      if (errno != EEXIST || !NameTemporary(f)) {
        error = errno;
        break;
      }
      existed = true;
    }
    const char* from = f.temp.c_str();
    const char* to = f.target.c_str();
    int result;
    if (!existed && done + 1 == files.size()) {
      // Nothing after it can fail: whatever took the name meanwhile is simply replaced.
      result = ::rename(from, to);
    } else {
      // What was found at opening time is tried first, the other way when it changed.
      const unsigned first = existed ? RENAME_EXCHANGE : RENAME_NOREPLACE;
      const unsigned second = existed ? RENAME_NOREPLACE : RENAME_EXCHANGE;
      unsigned used = first;
      result = ::renameat2(AT_FDCWD, from, AT_FDCWD, to, first);
      if (result != 0 && errno == (existed ? ENOENT : EEXIST)) {
        used = second;
        result = ::renameat2(AT_FDCWD, from, AT_FDCWD, to, second);
      }
      if (result != 0 && (errno == EINVAL || errno == ENOSYS)) {
        // A file system that cannot trade places: what is replaced cannot be put back.
        used = 0;
        result = ::rename(from, to);
      }
      kept[done] = result == 0 && used == RENAME_EXCHANGE;
    }
    if (result != 0) {
      error = errno;
      break;
    }
  }
  if (done < files.size()) {
    putBack(done);
    return done;
  }
  // A folder that took a name meanwhile has traded places as a file would: the set fails
  // there, as a rename onto it fails, and everything is put back.
  std::vector<struct stat> replaced(files.size());
  for (size_t i = 0; i < files.size(); ++i) {
    struct stat& st = replaced[i];
    if (kept[i] && ::lstat(files[i].temp.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
      error = EISDIR;
      putBack(files.size());
      return i;
    }
  }
  for (size_t i = 0; i < files.size(); ++i) {
    if (!kept[i]) continue;
    // What was replaced goes, or is kept for a later replacement to write over when it
    // is a plain file with no other name.
    const struct stat& st = replaced[i];
    if (!SpareFiles::Give(files[i].temp, st))
      ::unlink(files[i].temp.c_str());
    folder_index::NoteFileThere(files[i].target);
  }
  return done;
}

}  // namespace

bool OutputSet::Commit() {
  int error = 0;
  const size_t failed = PlaceAll(pending_, error);
  if (failed < pending_.size()) {
    error_ = "cannot write " + Shown(pending_[failed].target) + ": " + Reason(error);
    pending_.clear();
    ClearDirectoryCache();
    return false;
  }
  for (const auto& p : pending_) NoteFileWritten(p.target);
  pending_.clear();
  return true;
}

CommitQueue::~CommitQueue() {
  for (const Held& held : held_)
    if (!held.file.temp.empty()) ::unlink(held.file.temp.c_str());
}

CommitQueue::Scope::Scope(CommitQueue& queue) : previous_(heldCommits) { heldCommits = &queue; }

CommitQueue::Scope::~Scope() { heldCommits = previous_; }

namespace {

// Where a held file goes now: a model applied before it may have written its name in
// another case, which Commit would then have found.
fs::path TargetNow(const OutputSet::Pending& file, const std::string& joined) {
  if (joined.empty()) return file.target;
  const fs::path exact(ToNativeSeparators(joined));
  if (file.existed && file.target == exact) return file.target;  // there as written
  if (!file.existed && file.target.parent_path() == exact.parent_path()) {
    // Its folder was found as written: only the name is looked up again.
    const fs::path folder = exact.parent_path().empty() ? fs::path(".") : exact.parent_path();
    if (auto name = folder_index::FindName(folder, exact.filename().string()))
      return exact.parent_path() / *name;
    return exact;
  }
  return ResolvePath(joined);
}

}  // namespace

fs::path CommitQueue::Apply() {
  std::vector<OutputSet::Pending> files;
  files.reserve(held_.size());
  {
    // The targets are looked up as one task: the output folder is looked at once.
    ReadCache lookUps;
    ReadCache::Scope once(lookUps);
    for (Held& held : held_) {
      files.push_back(std::move(held.file));
      files.back().target = TargetNow(files.back(), held.joined);
    }
  }
  held_.clear();
  int error = 0;
  const size_t failed = PlaceAll(files, error);
  if (failed < files.size()) {
    ClearDirectoryCache();
    return files[failed].target;
  }
  for (const auto& f : files) NoteFileWritten(f.target);
  return {};
}

}  // namespace tessary
