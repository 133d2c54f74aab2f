#include "platform/BinaryFile.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace tessary {

BinaryFile::BinaryFile(std::shared_ptr<const std::vector<uint8_t>> bytes)
    : data_(std::move(bytes)), open_(data_ != nullptr) {}

BinaryFile BinaryFile::FromBytes(std::vector<uint8_t> bytes) {
  return BinaryFile(std::make_shared<const std::vector<uint8_t>>(std::move(bytes)));
}

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

bool BinaryFile::Skip(int64_t count) { return Seek(pos_ + count); }

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
