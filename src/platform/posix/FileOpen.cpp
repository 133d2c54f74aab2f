// FileReader (FileOpen.h) with the POSIX calls.
#include "platform/FileOpen.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tessary {

FileReader::~FileReader() {
  if (handle_ >= 0) ::close(handle_);
}

// Opened without blocking, as a FIFO would wait for a writer; a regular file's reads ignore
// O_NONBLOCK.
bool FileReader::Open(const std::filesystem::path& path, OpenFailure* failure, int* error) {
  if (handle_ >= 0) ::close(handle_);
  handle_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  struct stat st {};
  const OpenFailure why = handle_ < 0 ? (errno == ENOENT || errno == ENOTDIR ? OpenFailure::Missing : OpenFailure::Other)
                          : ::fstat(handle_, &st) != 0 ? OpenFailure::Other
                          : !S_ISREG(st.st_mode)       ? OpenFailure::NotRegular
                                                       : OpenFailure::None;
  if (failure) *failure = why;
  if (error) *error = why == OpenFailure::None || why == OpenFailure::NotRegular ? 0 : errno;
  size_ = st.st_size > 0 ? static_cast<uint64_t>(st.st_size) : 0;
  if (why != OpenFailure::None && handle_ >= 0) ::close(handle_);
  if (why != OpenFailure::None) handle_ = -1;
  return why == OpenFailure::None;
}

int64_t FileReader::Read(void* data, size_t size) {
  for (;;) {
    const ssize_t n = handle_ < 0 ? -1 : ::read(handle_, data, size);
    if (n >= 0 || errno != EINTR) return n;
  }
}

}  // namespace tessary
