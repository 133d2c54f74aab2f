#include "platform/FileOpen.h"

#include <cerrno>

namespace tessary {

namespace {

// Reads the file at `path` into `bytes`: the whole of it, or with `start` only its first
// bytes.size() bytes.
template <typename Bytes>
bool ReadFile(const std::filesystem::path& path, Bytes& bytes, OpenFailure* failure, uint64_t limit, int* error,
              bool start = false, uint64_t* fileSize = nullptr) {
  FileReader file;
  int why = 0;
  if (!file.Open(path, failure, error)) {
    bytes.clear();
    return false;
  }
  if (fileSize) *fileSize = file.Size();
  // One read of a byte more than the size finds the end, unless the file has grown meanwhile.
  if (!start && file.Size() <= limit) bytes.resize(static_cast<size_t>(file.Size()) + 1);
  size_t used = 0;
  while (file.Size() <= limit && !(start && used == bytes.size())) {
    if (used == bytes.size()) bytes.resize(bytes.size() * 2);
    const int64_t n = file.Read(bytes.data() + used, bytes.size() - used);
    if (n < 0 || used + static_cast<uint64_t>(n) > limit) why = n < 0 ? errno : EFBIG;
    if (n <= 0 || why != 0) break;
    used += static_cast<size_t>(n);
    // A regular file gives less than asked only at its end: no read is needed to find it.
    if (used < bytes.size()) break;
  }
  if (why != 0 || file.Size() > limit) {
    if (failure) *failure = OpenFailure::Other;
    if (error) *error = why != 0 ? why : EFBIG;
    bytes.clear();
    return false;
  }
  bytes.resize(used);
  return true;
}

}  // namespace

bool ReadRegularFile(const std::filesystem::path& path, std::string& bytes, OpenFailure* failure, uint64_t limit,
                     int* error) {
  return ReadFile(path, bytes, failure, limit, error);
}

bool ReadRegularFile(const std::filesystem::path& path, std::vector<uint8_t>& bytes, OpenFailure* failure,
                     uint64_t limit, int* error) {
  return ReadFile(path, bytes, failure, limit, error);
}

bool ReadFileStart(const std::filesystem::path& path, size_t count, std::vector<uint8_t>& bytes,
                   uint64_t& fileSize) {
  bytes.resize(count);
  return ReadFile(path, bytes, nullptr, UINT64_MAX, nullptr, true, &fileSize);
}

}  // namespace tessary
