#include "platform/OutputFile.h"

#include <clocale>
#include <cstdarg>
#include <locale.h>
#include <system_error>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Path.h"

namespace fs = std::filesystem;

namespace tessary {

namespace {
thread_local CommitQueue* heldCommits = nullptr;
}  // namespace

OutputFile::~OutputFile() { Discard(); }

bool OutputFile::Open(std::string_view path) {
  Discard();
  joined_ = path;
  target_ = ResolvePath(path);
  fs::path dir = target_.parent_path();
  std::string base = (dir.empty() ? fs::path(".") : dir).string() + "/." +
                     target_.filename().string() + ".tmp";
  // mkstemp gives a name no one else uses; the file is renamed over the target on commit.
  std::string pattern = base + "XXXXXX";
  int fd = mkstemp(pattern.data());
  if (fd < 0) return false;
  file_.reset(fdopen(fd, "wb"));
  if (!file_) {
    ::close(fd);
    std::error_code ec;
    fs::remove(pattern, ec);
    return false;
  }
  temp_ = pattern;
  failed_ = false;
  return true;
}

void OutputFile::Write(const void* data, size_t size) {
  if (!file_ || size == 0) return;
  if (std::fwrite(data, 1, size, file_.get()) != size) failed_ = true;
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
  bool ok = !failed_ && std::fflush(file_.get()) == 0;
  // Give the file ordinary permissions (mkstemp makes it private).
  if (ok) ok = fchmod(fileno(file_.get()), 0644) == 0;
  std::FILE* f = file_.release();
  if (std::fclose(f) != 0) ok = false;
  std::error_code ec;
  if (ok && heldCommits) {
    heldCommits->held_.push_back({std::move(temp_), joined_});
    temp_.clear();
    return true;
  }
  if (ok) {
    fs::rename(temp_, target_, ec);
    ok = !ec;
  }
  if (!ok) fs::remove(temp_, ec);
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
    fs::path target = ResolvePath(held.joined);
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
