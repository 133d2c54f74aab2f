#pragma once
// Reading files. Every reader reads through here: the file is opened without blocking (a
// FIFO or a device would otherwise wait for ever for a writer) and anything but a regular
// file is refused, so a hostile working folder cannot hang a command. FileReader's system
// side is in posix/FileOpen.cpp.
#include <cerrno>
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

// Reads the regular file at `path` (a file system path, not a joined one) into `bytes`
// (a std::string or a std::vector<uint8_t>): the whole of it, or with `start` only its first
// bytes.size() bytes. False, with the reason in `failure` and the system's error number in
// `error`, when it cannot; a file larger than `limit` bytes counts as Other.
template <typename Bytes>
bool ReadRegularFile(const std::filesystem::path& path, Bytes& bytes, OpenFailure* failure = nullptr,
                     uint64_t limit = UINT64_MAX, int* error = nullptr, bool start = false,
                     uint64_t* fileSize = nullptr) {
  FileReader file;
  if (!file.Open(path, failure, error)) {
    bytes.clear();
    return false;
  }
  if (fileSize) *fileSize = file.Size();
  // One read of a byte more than the size finds the end, unless the file has grown meanwhile.
  if (!start && file.Size() <= limit) bytes.resize(static_cast<size_t>(file.Size()) + 1);
  size_t used = 0;
  int why = file.Size() > limit ? EFBIG : 0;
  while (why == 0 && !(start && used == bytes.size())) {
    if (used == bytes.size()) bytes.resize(bytes.size() * 2);
    const int64_t n = file.Read(bytes.data() + used, bytes.size() - used);
    if (n < 0 || used + static_cast<uint64_t>(n) > limit) why = n < 0 ? errno : EFBIG;
    if (n <= 0 || why != 0) break;
    used += static_cast<size_t>(n);
    // A regular file gives less than asked only at its end: no read is needed to find it.
    if (used < bytes.size()) break;
  }
  if (why != 0) {
    if (failure) *failure = OpenFailure::Other;
    if (error) *error = why;
  }
  bytes.resize(why != 0 ? 0 : used);
  return why == 0;
}

// The first `count` bytes of a regular file (fewer when it is shorter) and its size.
inline bool ReadFileStart(const std::filesystem::path& path, size_t count, std::vector<uint8_t>& bytes,
                          uint64_t& fileSize) {
  bytes.resize(count);
  return ReadRegularFile(path, bytes, nullptr, UINT64_MAX, nullptr, true, &fileSize);
}

}  // namespace tessary
