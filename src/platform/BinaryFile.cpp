#include "platform/BinaryFile.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/FileOpen.h"
#include "platform/Path.h"

namespace tessary {

bool BinaryFile::Open(std::string_view path) {
  Close();
  // Only a regular file opens: a folder (which the C library would open and then fail
  // every read of) is refused as the games' platform refuses it, and a FIFO or device
  // would block.
  ReadDescriptor fd = OpenRegularFile(ResolvePath(path));
  if (!fd.IsOpen()) return false;
  file_.reset(fdopen(fd.Get(), "rb"));
  if (!file_) return false;
  fd.Release();
  long size = -1;
  if (std::fseek(file_.get(), 0, SEEK_END) == 0) size = std::ftell(file_.get());
  size_ = size < 0 ? 0 : size;
  return true;
}

void BinaryFile::Close() {
  file_.reset();
  size_ = 0;
  pos_ = 0;
  blockStart_ = 0;
  blockLength_ = 0;
}

int64_t BinaryFile::Size() { return file_ ? size_ : 0; }

int64_t BinaryFile::Tell() { return file_ ? pos_ : 0; }

bool BinaryFile::Seek(int64_t offset) {
  if (!file_ || offset < 0) return false;
  pos_ = offset;
  return true;
}

bool BinaryFile::Skip(int64_t count) {
  if (!file_) return false;
  return Seek(pos_ + count);
}

bool BinaryFile::LoadBlock(int64_t offset) {
  if (offset >= size_) return false;
  if (offset >= blockStart_ && offset < blockStart_ + blockLength_) return true;
  if (!block_) block_ = std::make_unique_for_overwrite<uint8_t[]>(static_cast<size_t>(kBlockSize));
  blockStart_ = offset - offset % kBlockSize;
  blockLength_ = 0;
  if (std::fseek(file_.get(), static_cast<long>(blockStart_), SEEK_SET) != 0) return false;
  blockLength_ = static_cast<int64_t>(std::fread(block_.get(), 1, static_cast<size_t>(kBlockSize), file_.get()));
  return offset < blockStart_ + blockLength_;
}

size_t BinaryFile::Read(void* buffer, size_t count) {
  if (!file_ || count == 0) return 0;
  auto* out = static_cast<uint8_t*>(buffer);
  size_t done = 0;
  while (done < count) {
    int64_t want = static_cast<int64_t>(count - done);
    if (want >= kBlockSize && !(pos_ >= blockStart_ && pos_ < blockStart_ + blockLength_)) {
      // A large read goes to the file directly.
      if (pos_ >= size_ || std::fseek(file_.get(), static_cast<long>(pos_), SEEK_SET) != 0) break;
      size_t got = std::fread(out + done, 1, static_cast<size_t>(want), file_.get());
      done += got;
      pos_ += static_cast<int64_t>(got);
      break;
    }
    if (!LoadBlock(pos_)) break;
    int64_t available = blockStart_ + blockLength_ - pos_;
    size_t take = static_cast<size_t>(std::min(available, want));
    std::memcpy(out + done, block_.get() + (pos_ - blockStart_), take);
    done += take;
    pos_ += static_cast<int64_t>(take);
  }
  return done;
}

bool BinaryFile::ReadByte(uint8_t& out) {
  if (!file_ || !LoadBlock(pos_)) return false;
  out = block_[static_cast<size_t>(pos_ - blockStart_)];
  ++pos_;
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
