#pragma once
// A little-endian reader over a whole file held in memory, with the rules of the file
// reads it stands in for: bytes past the end read as zeros, and the end of the data ends
// a string. Readers of files whose counts may claim far more than the file holds use it,
// so that walking past the end costs nothing.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/BinaryFile.h"

namespace tessary {

class ByteCursor {
 public:
  ByteCursor() = default;
  explicit ByteCursor(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}

  // The whole of an open file (from its start), or nothing when it cannot be read.
  static ByteCursor FromFile(BinaryFile& file) {
    std::vector<uint8_t> bytes(static_cast<size_t>(file.Size()));
    file.Seek(0);
    bytes.resize(file.Read(bytes.data(), bytes.size()));
    return ByteCursor(std::move(bytes));
  }

  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  size_t Size() const { return bytes_.size(); }
  size_t Tell() const { return pos_; }
  bool AtEnd() const { return pos_ >= bytes_.size(); }
  void Seek(size_t offset) { pos_ = offset; }
  void Skip(size_t count) { pos_ = count > SIZE_MAX - pos_ ? SIZE_MAX : pos_ + count; }

  // Copies `count` bytes (zeros past the end) and returns how many were really there.
  size_t Read(void* out, size_t count) {
    size_t have = pos_ < bytes_.size() ? std::min(count, bytes_.size() - pos_) : 0;
    if (have > 0) std::memcpy(out, bytes_.data() + pos_, have);
    if (count > have) std::memset(static_cast<uint8_t*>(out) + have, 0, count - have);
    Skip(count);
    return have;
  }
  uint8_t U8() {
    uint8_t b = pos_ < bytes_.size() ? bytes_[pos_] : 0;
    Skip(1);
    return b;
  }
  uint16_t U16() {
    uint8_t b[2];
    Read(b, 2);
    return static_cast<uint16_t>(b[0] | (b[1] << 8));
  }
  float F32() {
    uint8_t b[4];
    Read(b, 4);
    float f;
    std::memcpy(&f, b, sizeof f);
    return f;
  }
  // The zero-terminated string at the position, consuming its zero; the end of the data
  // ends it.
  std::string ZString() {
    size_t start = std::min(pos_, bytes_.size());
    size_t end = start;
    while (end < bytes_.size() && bytes_[end] != 0) ++end;
    pos_ = end;
    Skip(1);
    return std::string(bytes_.begin() + static_cast<std::ptrdiff_t>(start),
                       bytes_.begin() + static_cast<std::ptrdiff_t>(end));
  }

 private:
  std::vector<uint8_t> bytes_;
  size_t pos_ = 0;
};

}  // namespace tessary
