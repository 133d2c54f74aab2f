#pragma once
// A little-endian binary file read field by field. Reads past the end give zeros for the
// missing bytes; `Read` tells how many bytes really arrived.
//
// The readers seek a lot, often one byte at a time and backwards (string measurements),
// so the file is read through a block of its own: seeking within the block costs nothing.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace tessary {

class BinaryFile {
 public:
  BinaryFile() = default;
  // Opens a joined path (resolved as ResolvePath does) for binary reading. A folder
  // does not open.
  explicit BinaryFile(std::string_view path) { Open(path); }

  bool Open(std::string_view path);
  void Close();
  bool IsOpen() const { return file_ != nullptr; }

  int64_t Size();
  int64_t Tell();
  bool Seek(int64_t offset);             // from the start; past the end is allowed
  bool Skip(int64_t count);              // relative to the current position
  size_t Read(void* buffer, size_t count);

  // Reads one value; missing bytes at the end of the file read as zeros.
  uint8_t ReadU8();
  uint16_t ReadU16();
  uint32_t ReadU32();
  float ReadF32();
  // Reads one byte; false at the end of the file.
  bool ReadByte(uint8_t& out);

 private:
  static constexpr int64_t kBlockSize = 4096;
  // Loads the block holding `offset`; false when nothing of the file lies there.
  bool LoadBlock(int64_t offset);

  struct Closer {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  std::unique_ptr<std::FILE, Closer> file_;
  int64_t size_ = 0;
  int64_t pos_ = 0;
  std::unique_ptr<uint8_t[]> block_;
  int64_t blockStart_ = 0;
  int64_t blockLength_ = 0;  // bytes of the file in `block_`
};

}  // namespace tessary
