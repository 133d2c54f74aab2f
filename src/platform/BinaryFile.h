#pragma once
// A little-endian binary file read through a buffered stream, field by field. Reads past
// the end give zeros for the missing bytes; `Read` tells how many bytes really arrived.
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
  void Close() { file_.reset(); }
  bool IsOpen() const { return file_ != nullptr; }

  int64_t Size();
  int64_t Tell();
  bool Seek(int64_t offset);             // from the start
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
  struct Closer {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  std::unique_ptr<std::FILE, Closer> file_;
};

}  // namespace tessary
