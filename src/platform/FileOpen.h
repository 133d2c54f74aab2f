#pragma once
// Reading files. Every reader reads through here: the file is opened without blocking (a
// FIFO or a device would otherwise wait for ever for a writer) and anything but a regular
// file is refused, so a hostile working folder cannot hang a command. FileReader's system
// side is in posix/FileOpen.cpp.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tessary {

enum class OpenFailure { None, Missing, NotRegular, Other };

// A regular file read block by block, closed with the object.
class FileReader {
 public:
  FileReader() = default;
  ~FileReader();
  FileReader(const FileReader&) = delete;
  FileReader& operator=(const FileReader&) = delete;

  // False, with the reason and the system's error number, when `path` is missing, is not a
  // regular file or cannot be opened.
  bool Open(const std::filesystem::path& path, OpenFailure* failure = nullptr, int* error = nullptr);
  // The size the file had when it was opened.
  uint64_t Size() const { return size_; }
  // Reads up to `size` bytes: how many arrived, 0 at the end, -1 on failure (the reason in
  // errno).
  int64_t Read(void* data, size_t size);

 private:
  int handle_ = -1;
  uint64_t size_ = 0;
};

// The whole of a regular file (`path` is a file system path, not a joined one), or false
// with the reason in `failure` and the system's error number in `error` (a file larger
// than `limit` bytes counts as Other).
bool ReadRegularFile(const std::filesystem::path& path, std::string& bytes, OpenFailure* failure = nullptr,
                     uint64_t limit = UINT64_MAX, int* error = nullptr);
bool ReadRegularFile(const std::filesystem::path& path, std::vector<uint8_t>& bytes,
                     OpenFailure* failure = nullptr, uint64_t limit = UINT64_MAX, int* error = nullptr);

// The first `count` bytes of a regular file (fewer when it is shorter) and its size; false
// when it is not a regular file or a read fails.
bool ReadFileStart(const std::filesystem::path& path, size_t count, std::vector<uint8_t>& bytes,
                   uint64_t& fileSize);

}  // namespace tessary
