#include "platform/FileOpen.h"

#include <cerrno>
#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tessary {

ReadDescriptor::~ReadDescriptor() {
  if (fd_ >= 0) ::close(fd_);
}

ReadDescriptor& ReadDescriptor::operator=(ReadDescriptor&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = other.Release();
  }
  return *this;
}

namespace {

// Opens `path` without blocking and checks that it is a regular file, leaving the
// descriptor as it is: a regular file's reads ignore O_NONBLOCK. `size` gets its size.
ReadDescriptor OpenForReading(const std::filesystem::path& path, OpenFailure* failure, int* error,
                              off_t& size) {
  auto fail = [&](OpenFailure why, int err) {
    if (failure) *failure = why;
    if (error) *error = err;
    return ReadDescriptor();
  };
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    int err = errno;
    return fail(err == ENOENT || err == ENOTDIR ? OpenFailure::Missing : OpenFailure::Other, err);
  }
  ReadDescriptor descriptor(fd);
  struct stat st {};
  if (::fstat(fd, &st) != 0) return fail(OpenFailure::Other, errno);
  if (!S_ISREG(st.st_mode)) return fail(OpenFailure::NotRegular, 0);
  size = st.st_size;
  if (failure) *failure = OpenFailure::None;
  if (error) *error = 0;
  return descriptor;
}

// Reads to the end of `fd` into `bytes`, expecting about `expected` bytes: one read of a
// byte more than that finds the end, unless the file has grown meanwhile.
template <typename Bytes>
bool ReadToEnd(int fd, off_t expected, Bytes& bytes, uint64_t limit) {
  size_t used = 0;
  bytes.resize(static_cast<size_t>(std::min<uint64_t>(static_cast<uint64_t>(std::max<off_t>(expected, 0)), limit)) + 1);
  for (;;) {
    if (used == bytes.size()) bytes.resize(bytes.size() * 2);
    ssize_t n = ::read(fd, bytes.data() + used, bytes.size() - used);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 || used + static_cast<uint64_t>(n) > limit) {
      bytes.clear();
      return false;
    }
    if (n == 0) break;
    used += static_cast<size_t>(n);
    // A regular file gives less than asked only at its end: no read is needed to find it.
    if (used < bytes.size()) break;
  }
  bytes.resize(used);
  return true;
}

template <typename Bytes>
bool ReadWholeFile(const std::filesystem::path& path, Bytes& bytes, OpenFailure* failure,
                   uint64_t limit) {
  bytes.clear();
  off_t size = 0;
  ReadDescriptor fd = OpenForReading(path, failure, nullptr, size);
  if (!fd.IsOpen()) return false;
  if (static_cast<uint64_t>(std::max<off_t>(size, 0)) > limit || !ReadToEnd(fd.Get(), size, bytes, limit)) {
    if (failure) *failure = OpenFailure::Other;
    bytes.clear();
    return false;
  }
  return true;
}

}  // namespace

ReadDescriptor OpenRegularFile(const std::filesystem::path& path, OpenFailure* failure, int* error) {
  off_t size = 0;
  ReadDescriptor descriptor = OpenForReading(path, failure, error, size);
  if (descriptor.IsOpen()) {
    // The caller may read from it as from any descriptor: back to blocking mode.
    int flags = ::fcntl(descriptor.Get(), F_GETFL);
    if (flags >= 0) ::fcntl(descriptor.Get(), F_SETFL, flags & ~O_NONBLOCK);
  }
  return descriptor;
}

bool ReadRegularFile(const std::filesystem::path& path, std::string& bytes, OpenFailure* failure,
                     uint64_t limit) {
  return ReadWholeFile(path, bytes, failure, limit);
}

bool ReadRegularFile(const std::filesystem::path& path, std::vector<uint8_t>& bytes,
                     OpenFailure* failure, uint64_t limit) {
  return ReadWholeFile(path, bytes, failure, limit);
}

std::string DescribeOpenFailure(OpenFailure failure, int error) {
  switch (failure) {
    case OpenFailure::None: return {};
    case OpenFailure::Missing: return "does not exist";
    case OpenFailure::NotRegular: return "is not a regular file";
    case OpenFailure::Other: return error != 0 ? std::strerror(error) : "cannot be read";
  }
  return {};
}

}  // namespace tessary
