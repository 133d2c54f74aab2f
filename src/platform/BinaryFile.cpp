#include "platform/BinaryFile.h"

#include <cstring>
#include <sys/stat.h>

#include "platform/Path.h"

namespace tessary {

bool BinaryFile::Open(std::string_view path) {
  file_.reset(std::fopen(ResolvePath(path).c_str(), "rb"));
  // A folder is not a file to read (the C library here would open one and then fail
  // every read, where the games' platform refuses to open it).
  struct stat st {};
  if (file_ && (fstat(fileno(file_.get()), &st) != 0 || S_ISDIR(st.st_mode))) file_.reset();
  return file_ != nullptr;
}

int64_t BinaryFile::Size() {
  if (!file_) return 0;
  long here = std::ftell(file_.get());
  std::fseek(file_.get(), 0, SEEK_END);
  long size = std::ftell(file_.get());
  std::fseek(file_.get(), here, SEEK_SET);
  return size < 0 ? 0 : size;
}

int64_t BinaryFile::Tell() { return file_ ? std::ftell(file_.get()) : 0; }

bool BinaryFile::Seek(int64_t offset) {
  if (!file_ || offset < 0) return false;
  return std::fseek(file_.get(), static_cast<long>(offset), SEEK_SET) == 0;
}

bool BinaryFile::Skip(int64_t count) {
  if (!file_) return false;
  int64_t target = Tell() + count;
  if (target < 0) return false;
  return std::fseek(file_.get(), static_cast<long>(target), SEEK_SET) == 0;
}

size_t BinaryFile::Read(void* buffer, size_t count) {
  if (!file_ || count == 0) return 0;
  return std::fread(buffer, 1, count, file_.get());
}

bool BinaryFile::ReadByte(uint8_t& out) {
  if (!file_) return false;
  int c = std::fgetc(file_.get());
  if (c == EOF) return false;
  out = static_cast<uint8_t>(c);
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
