#include "platform/BinaryFile.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Path.h"
#include "platform/ReadCache.h"

namespace tessary {

BinaryFile BinaryFile::FromBytes(std::vector<uint8_t> bytes) {
  BinaryFile file;
  file.data_ = std::make_shared<const std::vector<uint8_t>>(std::move(bytes));
  file.open_ = true;
  return file;
}

namespace {

std::atomic<uint64_t> filesRead{0};

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// Opens a joined path for reading. Most names are spelled as they are on the disk, so the
// path as written is tried before the case-insensitive look-up.
int OpenForReading(std::string_view path) {
  const std::string exact = ToNativeSeparators(path);
  if (exact.empty()) return -1;
  int fd = ::open(exact.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd >= 0 || (errno != ENOENT && errno != ENOTDIR)) return fd;
  const std::filesystem::path resolved = ResolvePath(path);
  if (resolved.native() == exact) return -1;
  return ::open(resolved.c_str(), O_RDONLY | O_CLOEXEC);
}

// The bytes of a joined path, or null when it does not open as a file.
ReadCache::Contents ReadWhole(std::string_view path) {
  Descriptor file(OpenForReading(path));
  if (file.get() < 0) return nullptr;
  ++filesRead;
  // A folder is not a file to read (the C library here would open one and then fail
  // every read, where the games' platform refuses to open it).
  struct stat st {};
  if (::fstat(file.get(), &st) != 0 || S_ISDIR(st.st_mode)) return nullptr;
  auto bytes = std::make_shared<std::vector<uint8_t>>(static_cast<size_t>(std::max<off_t>(st.st_size, 0)));
  size_t done = 0;
  while (done < bytes->size()) {
    ssize_t got = ::read(file.get(), bytes->data() + done, bytes->size() - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<size_t>(got);
  }
  bytes->resize(done);
  return bytes;
}

}  // namespace

bool BinaryFile::Open(std::string_view path) {
  Close();
  ReadCache* cache = ReadCache::Current();
  std::optional<ReadCache::Contents> known;
  if (cache) known = cache->FindOpened(path);
  ReadCache::Contents contents = known ? *known : ReadWhole(path);
  if (cache && !known) cache->NoteOpened(path, contents);
  if (!contents) return false;
  data_ = std::move(contents);
  open_ = true;
  return true;
}

uint64_t BinaryFile::FilesRead() { return filesRead.load(); }

const std::vector<uint8_t>& BinaryFile::Bytes() const {
  static const std::vector<uint8_t> kNone;
  return data_ ? *data_ : kNone;
}

void BinaryFile::Close() {
  data_.reset();
  pos_ = 0;
  open_ = false;
}

bool BinaryFile::Seek(int64_t offset) {
  if (!open_ || offset < 0) return false;
  pos_ = offset;
  return true;
}

bool BinaryFile::Skip(int64_t count) {
  if (!open_) return false;
  return Seek(pos_ + count);
}

size_t BinaryFile::Read(void* buffer, size_t count) {
  if (!open_ || count == 0 || pos_ >= Size()) return 0;
  size_t take = std::min(count, static_cast<size_t>(Size() - pos_));
  std::memcpy(buffer, data_->data() + pos_, take);
  pos_ += static_cast<int64_t>(take);
  return take;
}

bool BinaryFile::ReadByte(uint8_t& out) {
  if (!open_ || pos_ >= Size()) return false;
  out = (*data_)[static_cast<size_t>(pos_++)];
  return true;
}

uint8_t BinaryFile::ReadU8() {
  uint8_t b = 0;
  ReadByte(b);
  return b;
}

uint16_t BinaryFile::ReadU16() {
  uint8_t b[2] = {0, 0};
  Read(b, 2);
  return static_cast<uint16_t>(b[0] | (b[1] << 8));
}

uint32_t BinaryFile::ReadU32() {
  uint8_t b[4] = {0, 0, 0, 0};
  Read(b, 4);
  return static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
         (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
}

float BinaryFile::ReadF32() {
  uint32_t bits = ReadU32();
  float f;
  std::memcpy(&f, &bits, sizeof f);
  return f;
}

}  // namespace tessary
