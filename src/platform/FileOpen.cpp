#include "platform/FileOpen.h"

#include <cerrno>
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

ReadDescriptor OpenRegularFile(const std::filesystem::path& path, OpenFailure* failure, int* error) {
  auto fail = [&](OpenFailure why, int err) {
    if (failure) *failure = why;
    if (error) *error = err;
    return ReadDescriptor();
  };
  // O_NONBLOCK: opening a FIFO with no writer would otherwise wait; the type is looked at
  // on the open descriptor, so nothing can be swapped in between.
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    int err = errno;
    return fail(err == ENOENT || err == ENOTDIR ? OpenFailure::Missing : OpenFailure::Other, err);
  }
  ReadDescriptor descriptor(fd);
  struct stat st {};
  if (::fstat(fd, &st) != 0) return fail(OpenFailure::Other, errno);
  if (!S_ISREG(st.st_mode)) return fail(OpenFailure::NotRegular, 0);
  int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  if (failure) *failure = OpenFailure::None;
  if (error) *error = 0;
  return descriptor;
}

bool ReadRegularFile(const std::filesystem::path& path, std::string& bytes, OpenFailure* failure,
                     uint64_t limit) {
  bytes.clear();
  ReadDescriptor fd = OpenRegularFile(path, failure);
  if (!fd.IsOpen()) return false;
  char block[1 << 16];
  for (;;) {
    ssize_t n = ::read(fd.Get(), block, sizeof block);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 || bytes.size() + static_cast<uint64_t>(n) > limit) {
      if (failure) *failure = OpenFailure::Other;
      bytes.clear();
      return false;
    }
    if (n == 0) return true;
    bytes.append(block, static_cast<size_t>(n));
  }
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
