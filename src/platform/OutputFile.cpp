#include "platform/OutputFile.h"

#include <atomic>
#include <cerrno>
#include <clocale>
#include <cstdarg>
#include <cstring>
#include <fstream>
#include <locale.h>
#include <system_error>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Path.h"

namespace fs = std::filesystem;

namespace tessary {

namespace {

thread_local std::string lastError;
thread_local OutputSet* currentSet = nullptr;
thread_local CommitQueue* heldCommits = nullptr;

// The permissions a newly created file gets: 0666 less the process's umask, read from
// the process status (setting the umask to read it would race with other threads).
mode_t NewFileMode() {
  static const mode_t mode = [] {
    mode_t mask = 022;
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
      if (line.rfind("Umask:", 0) == 0) mask = static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8));
    return static_cast<mode_t>(0666 & ~mask);
  }();
  return mode;
}

std::string Reason(int error) { return error != 0 ? std::strerror(error) : "write error"; }

// A path as messages show it: the readers' "xmodel\..\obj" steps taken out.
std::string Shown(const fs::path& path) { return path.lexically_normal().string(); }

}  // namespace

const std::string& LastOutputError() { return lastError; }

std::string WhyNotReplaceable(const fs::path& target) {
  struct stat st {};
  if (::lstat(target.c_str(), &st) != 0) return {};  // nothing there yet
  if (S_ISLNK(st.st_mode)) return {};                 // the link itself is replaced
  if (!S_ISREG(st.st_mode)) return Shown(target) + " is not a regular file";
  bool writable = ::geteuid() == 0 ? (st.st_mode & 0222) != 0 : ::access(target.c_str(), W_OK) == 0;
  if (!writable) return Shown(target) + " is read-only";
  return {};
}

OutputFile::~OutputFile() { Discard(); }

bool OutputFile::Open(std::string_view path) {
  bool ok = OpenExact(ResolvePath(path));
  joined_ = path;
  return ok;
}

bool OutputFile::OpenExact(const fs::path& target) {
  Discard();
  joined_.clear();
  error_.clear();
  lastError.clear();
  target_ = target;
  auto fail = [&](std::string why) {
    error_ = std::move(why);
    lastError = error_;
    return false;
  };
  if (std::string why = WhyNotReplaceable(target_); !why.empty()) return fail(why);
  fs::path dir = target_.parent_path();
  std::string base = (dir.empty() ? fs::path(".") : dir).string() + "/." +
                     target_.filename().string() + ".tmp";
  // mkstemp gives a name no one else uses; the file is renamed over the target on commit.
  std::string pattern = base + "XXXXXX";
  int fd = mkstemp(pattern.data());
  if (fd < 0) return fail("cannot write " + Shown(target_) + ": " + Reason(errno));
  file_.reset(fdopen(fd, "wb"));
  if (!file_) {
    int error = errno;
    ::close(fd);
    std::error_code ec;
    fs::remove(pattern, ec);
    return fail("cannot write " + Shown(target_) + ": " + Reason(error));
  }
  temp_ = pattern;
  failed_ = false;
  writeError_ = 0;
  return true;
}

void OutputFile::Write(const void* data, size_t size) {
  if (!file_ || size == 0) return;
  if (std::fwrite(data, 1, size, file_.get()) != size && !failed_) {
    failed_ = true;
    writeError_ = errno;
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

namespace {

// Numbers in the output formats always use the C conventions ("1.500000"), whatever
// locale the program runs under (the desktop toolkit adopts the user's).
class CNumericLocale {
 public:
  CNumericLocale() {
    static locale_t c = newlocale(LC_ALL_MASK, "C", locale_t{});
    if (c) previous_ = uselocale(c);
  }
  ~CNumericLocale() {
    if (previous_) uselocale(previous_);
  }
  CNumericLocale(const CNumericLocale&) = delete;
  CNumericLocale& operator=(const CNumericLocale&) = delete;

 private:
  locale_t previous_ = locale_t{};
};

}  // namespace

void OutputFile::PrintText(const char* format, ...) {
  CNumericLocale cLocale;
  char small[512];
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(small, sizeof small, format, args);
  va_end(args);
  if (n < 0) {
    va_end(copy);
    failed_ = true;
    return;
  }
  if (static_cast<size_t>(n) < sizeof small) {
    va_end(copy);
    WriteText(std::string_view(small, static_cast<size_t>(n)));
    return;
  }
  std::string big(static_cast<size_t>(n) + 1, '\0');
  std::vsnprintf(big.data(), big.size(), format, copy);
  va_end(copy);
  big.resize(static_cast<size_t>(n));
  WriteText(big);
}

bool OutputFile::Commit() {
  if (!file_) return false;
  int error = writeError_;
  bool ok = !failed_;
  if (ok && std::fflush(file_.get()) != 0) {
    ok = false;
    error = errno;
  }
  // A file that is replaced keeps its permissions (and, where allowed, its owner); a new
  // one gets the usual ones (mkstemp makes it private).
  const int fd = fileno(file_.get());
  struct stat old {};
  if (::stat(target_.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
      // Only the owner's own files, or root, can keep another owner: not an error.
    }
    if (ok && ::fchmod(fd, old.st_mode & 07777) != 0) ok = false, error = errno;
  } else if (ok && ::fchmod(fd, NewFileMode()) != 0) {
    ok = false;
    error = errno;
  }
  std::FILE* f = file_.release();
  if (std::fclose(f) != 0 && ok) {
    ok = false;
    error = errno;
  }
  std::error_code ec;
  if (ok && heldCommits) {
    heldCommits->held_.push_back({std::move(temp_), joined_, target_});
    temp_.clear();
    return true;
  }
  if (ok) {
    if (OutputSet* set = OutputSet::Current()) {
      set->Adopt(temp_, target_);
      temp_.clear();
      return true;
    }
    fs::rename(temp_, target_, ec);
    if (ec) ok = false, error = ec.value();
  }
  if (!ok) {
    fs::remove(temp_, ec);
    error_ = "cannot write " + Shown(target_) + ": " + Reason(error);
    lastError = error_;
  }
  temp_.clear();
  if (ok)
    NoteFileWritten(target_);
  else
    ClearDirectoryCache();
  return ok;
}

void OutputFile::Discard() {
  if (file_) file_.reset();
  if (!temp_.empty()) {
    std::error_code ec;
    fs::remove(temp_, ec);
    temp_.clear();
  }
}

OutputSet::OutputSet() : previous_(currentSet) { currentSet = this; }

OutputSet::~OutputSet() {
  Discard();
  currentSet = previous_;
}

OutputSet* OutputSet::Current() { return currentSet; }

void OutputSet::Adopt(fs::path temp, fs::path target) {
  pending_.push_back({std::move(temp), std::move(target)});
}

void OutputSet::Discard() {
  std::error_code ec;
  for (const auto& p : pending_) fs::remove(p.temp, ec);
  pending_.clear();
}

bool OutputSet::Commit() {
  static std::atomic<unsigned> counter{0};
  std::error_code ec;
  // What each file replaces is kept under a second name (a hard link, no copy) until all
  // are in place, so that a failure part way can put it back.
  std::vector<fs::path> kept(pending_.size());
  for (size_t i = 0; i < pending_.size(); ++i) {
    const fs::path& target = pending_[i].target;
    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0) continue;
    fs::path backup = target.parent_path() / ("." + target.filename().string() + ".old" +
                                              std::to_string(::getpid()) + "-" +
                                              std::to_string(counter++));
    if (::link(target.c_str(), backup.c_str()) == 0) kept[i] = backup;
  }
  size_t done = 0;
  for (; done < pending_.size(); ++done) {
    fs::rename(pending_[done].temp, pending_[done].target, ec);
    if (ec) break;
  }
  if (done < pending_.size()) {
    error_ = "cannot write " + Shown(pending_[done].target) + ": " + ec.message();
    lastError = error_;
    for (size_t i = 0; i < done; ++i) {
      std::error_code undo;
      if (!kept[i].empty())
        fs::rename(kept[i], pending_[i].target, undo);
      else
        fs::remove(pending_[i].target, undo);
    }
    for (size_t i = done; i < pending_.size(); ++i) fs::remove(pending_[i].temp, ec);
    for (const auto& k : kept)
      if (!k.empty()) fs::remove(k, ec);
    pending_.clear();
    ClearDirectoryCache();
    return false;
  }
  for (const auto& k : kept)
    if (!k.empty()) fs::remove(k, ec);
  for (const auto& p : pending_) NoteFileWritten(p.target);
  pending_.clear();
  return true;
}

CommitQueue::~CommitQueue() {
  std::error_code ec;
  for (const Held& held : held_) fs::remove(held.temp, ec);
}

CommitQueue::Scope::Scope(CommitQueue& queue) : previous_(heldCommits) { heldCommits = &queue; }

CommitQueue::Scope::~Scope() { heldCommits = previous_; }

fs::path CommitQueue::Apply() {
  fs::path failed;
  std::error_code ec;
  for (const Held& held : held_) {
    if (!failed.empty()) {
      fs::remove(held.temp, ec);
      continue;
    }
    fs::path target = held.joined.empty() ? held.target : ResolvePath(held.joined);
    fs::rename(held.temp, target, ec);
    if (ec) {
      fs::remove(held.temp, ec);
      ClearDirectoryCache();
      failed = target;
    } else {
      NoteFileWritten(target);
    }
  }
  held_.clear();
  return failed;
}

}  // namespace tessary
