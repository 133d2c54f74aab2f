#pragma once
// A little-endian binary file read field by field: the one byte reader of every model,
// image and texture reader. It reads the bytes of a whole file, as a Disk read them (see
// Disk.h), so the readers' many seeks, often one byte at a time and backwards, cost
// nothing. Reads past the end give zeros for the missing bytes; `Read` tells how many bytes
// really arrived, and the end of the file ends a string.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tessary {

class BinaryFile {
 public:
  BinaryFile() = default;
  // A file made of `bytes`, open.
  explicit BinaryFile(std::shared_ptr<const std::vector<uint8_t>> bytes);
  static BinaryFile FromBytes(std::vector<uint8_t> bytes);

  void Close();
  bool IsOpen() const { return open_; }

  // The file's bytes (empty when it is not open).
  const std::vector<uint8_t>& Bytes() const;

  int64_t Size() const { return data_ ? static_cast<int64_t>(data_->size()) : 0; }
  int64_t Tell() const { return pos_; }
  bool Seek(int64_t offset);             // from the start; past the end is allowed
  bool Skip(int64_t count);              // relative to the current position
  // Copies up to `count` bytes; returns how many there were (the rest is not touched).
  size_t Read(void* buffer, size_t count);

  // Reads one value; missing bytes at the end of the file read as zeros.
  uint8_t ReadU8();
  uint16_t ReadU16();
  uint32_t ReadU32();
  float ReadF32();
  // Reads one byte; false at the end of the file.
  bool ReadByte(uint8_t& out);

 private:
  // Shared with the Disk that read them, which hands the same bytes to a later open.
  std::shared_ptr<const std::vector<uint8_t>> data_;
  int64_t pos_ = 0;
  bool open_ = false;
};

}  // namespace tessary
