#include "platform/OutputFile.h"

#include <cerrno>
#include <cstring>
#include <random>
#include <system_error>
#include <utility>

#include "platform/Disk.h"

namespace fs = std::filesystem;

namespace tessary {

namespace {

constexpr size_t kWriteBuffer = size_t{1} << 18;
constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
constexpr size_t kSuffixLength = 6;

// A path as messages show it: the readers' "xmodel\..\obj" steps taken out.
std::string Shown(const fs::path& path) { return path.lexically_normal().string(); }

std::string CannotWrite(const fs::path& target, int error) {
  return "cannot write " + Shown(target) + ": " + (error != 0 ? std::strerror(error) : "write error");
}

bool IsTemporaryName(const std::string& name) {
  if (name.size() < 1 + 4 + kSuffixLength || name[0] != '.') return false;
  const size_t suffix = name.size() - kSuffixLength;
  return name.compare(suffix - 4, 4, ".tmp") == 0 && name.find_first_not_of(kLetters, suffix) == std::string::npos;
}

// Why the entry in `state` may not be replaced (a link itself is replaced).
std::string WhyNot(const fs::path& target, const outfs::TargetState& state) {
  if (state.other) return Shown(target) + " is not a regular file";
  if (state.readOnly) return Shown(target) + " is read-only";
  return {};
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

std::string WhyNotReplaceable(const fs::path& target) { return WhyNot(target, outfs::Inspect(target)); }

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
  state_ = knownMissing ? outfs::TargetState{} : outfs::Inspect(target_);
  if (std::string why = WhyNot(target_, state_); !why.empty()) {
    error_ = std::move(why);
    return false;
  }
  // Made with the permissions it ends with where it can be: no wider than the file it
  // replaces, and the usual ones for a new file.
  for (int attempt = 0;; ++attempt) {
    fs::path name = TemporaryName(target_);
    if ((fd_ = outfs::CreateNew(name, Replaced())) >= 0) {
      temp_ = std::move(name);
      return true;
    }
    if (errno != EEXIST || attempt == 100) {
      const int error = errno;
      error_ = CannotWrite(target_, error);
      errno = error;
      return false;
    }
  }
}

void OutputFile::Write(const void* data, size_t size) {
  if (fd_ < 0 || size == 0 || writeError_ != 0) return;
  if (buffer_.size() + size > kWriteBuffer && !Flush()) return;
  if (size >= kWriteBuffer)
    writeError_ = outfs::WriteAll(fd_, static_cast<const char*>(data), size);  // large enough to go out as it is
  else
    buffer_.append(static_cast<const char*>(data), size);
}

bool OutputFile::Flush() {
  if (writeError_ == 0) writeError_ = outfs::WriteAll(fd_, buffer_.data(), buffer_.size());
  buffer_.clear();
  return writeError_ == 0;
}

void OutputFile::WriteText(std::string_view text) {
  for (size_t start = 0;;) {
    const size_t end = text.find('\n', start);
    Write(text.substr(start, end - start));
    if (end == std::string_view::npos) return;
    Write("\r\n", 2);
    start = end + 1;
  }
}

void OutputFile::Fail(int error) {
  error_ = CannotWrite(target_, error);
  Discard();
}

fs::path OutputFile::Finish() {
  if (fd_ < 0) {
    if (error_.empty()) error_ = "cannot write " + Shown(target_);
    return {};
  }
  if (!Flush()) {
    Fail(writeError_);
    return {};
  }
  // A file that is replaced keeps its permissions (and, where allowed, its owner); a new
  // one was made with the usual ones.
  const int error = outfs::Close(std::exchange(fd_, -1), Replaced());
  if (error != 0) {
    Fail(error);
    return {};
  }
  return std::exchange(temp_, {});
}

bool OutputFile::Commit() {
  const fs::path temp = Finish();
  if (temp.empty()) return false;
  if (const int error = outfs::Replace(temp, target_); error != 0) {
    std::error_code ec;
    fs::remove(temp, ec);
    error_ = CannotWrite(target_, error);
    return false;
  }
  if (disk_) disk_->NoteWritten(target_);
  return true;
}

void OutputFile::Discard() {
  if (fd_ >= 0) outfs::Close(std::exchange(fd_, -1), nullptr);
  buffer_.clear();
  std::error_code ec;
  if (!temp_.empty()) fs::remove(std::exchange(temp_, {}), ec);
}

void RemoveStaleTemporaries(const fs::path& folder, fs::file_time_type before) {
  std::error_code ec;
  fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec);
  for (fs::directory_iterator end; !ec && it != end; it.increment(ec)) {
    if (!IsTemporaryName(it->path().filename().string())) continue;
    std::error_code statError;
    if (!it->is_regular_file(statError) || it->is_symlink(statError)) continue;
    if (it->last_write_time(statError) >= before || statError) continue;
    // A file some program still writes is locked by it.
    outfs::RemoveUnlessLocked(it->path());
  }
}

}  // namespace tessary
