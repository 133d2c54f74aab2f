#include "platform/BinaryFile.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>

#include "platform/FileOpen.h"
#include "platform/Path.h"
#include "platform/ReadCache.h"
#include "platform/SettledFiles.h"

namespace tessary {

BinaryFile BinaryFile::FromBytes(std::vector<uint8_t> bytes) {
  BinaryFile file;
  file.data_ = std::make_shared<const std::vector<uint8_t>>(std::move(bytes));
  file.open_ = true;
  return file;
}

namespace {

std::atomic<uint64_t> filesRead{0};

// The bytes of a joined path, or null when it does not open as a regular file: a folder
// (which the C library would open and then fail every read of) is refused as the games'
// platform refuses it, and a FIFO or device would block.
// `shared`: a small file many tasks read, which may be answered from (and is kept in) the
// settled files when it is found as written.
ReadCache::Contents ReadWhole(std::string_view path, bool shared) {
  // Most names are on the disk as written: the file is opened as it is named, and looked up
  // case-insensitively only when that finds nothing.
  const std::filesystem::path exact(ToNativeSeparators(path));
  std::vector<uint8_t> bytes;
  OpenFailure failure = OpenFailure::None;
  bool asWritten = false;
  // A name this task has looked up already is where that look-up found it.
  const ReadCache* cache = ReadCache::Current();
  if (const ReadCache::Resolved* known = cache ? cache->FindResolved(path) : nullptr) {
    if (!known->found || !ReadRegularFile(known->where, bytes)) return nullptr;
  } else if (ReadCache::Contents kept = shared ? settled_files::Find(exact) : nullptr) {
    return kept;
  } else if (ReadRegularFile(exact, bytes, &failure)) {
    asWritten = true;
  } else {
    if (failure != OpenFailure::Missing) return nullptr;
    const std::filesystem::path resolved = ResolvePath(path);
    if (resolved == exact || !ReadRegularFile(resolved, bytes)) return nullptr;
  }
  ++filesRead;
  auto contents = std::make_shared<const std::vector<uint8_t>>(std::move(bytes));
  if (shared && asWritten) settled_files::Keep(exact, contents);
  return contents;
}

}  // namespace

bool BinaryFile::Open(std::string_view path) { return Open(path, false); }

bool BinaryFile::OpenShared(std::string_view path) { return Open(path, true); }

bool BinaryFile::Open(std::string_view path, bool shared) {
  Close();
  ReadCache* cache = ReadCache::Current();
  std::optional<ReadCache::Contents> known;
  if (cache) known = cache->FindOpened(path);
  ReadCache::Contents contents = known ? *known : ReadWhole(path, shared);
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
