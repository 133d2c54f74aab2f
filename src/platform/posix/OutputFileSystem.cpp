// The output files' system calls on POSIX (OutputFileSystem.h).
#include "platform/OutputFileSystem.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace tessary::outfs {

TargetState Inspect(const std::filesystem::path& target) {
  TargetState state;
  struct stat st {};
  if (::lstat(target.c_str(), &st) != 0) return state;  // nothing there yet
  state.link = S_ISLNK(st.st_mode);
  if (state.link && ::stat(target.c_str(), &st) != 0) return state;
  state.regular = S_ISREG(st.st_mode);
  state.other = !state.link && !state.regular;
  // Root counts a file as read-only when it has no write permission for anyone, as
  // Windows' read-only attribute stops administrators.
  if (!state.link && state.regular)
    state.readOnly = ::geteuid() == 0 ? (st.st_mode & 0222) == 0 : ::access(target.c_str(), W_OK) != 0;
  state.owner = st.st_uid;
  state.group = st.st_gid;
  state.mode = st.st_mode & 07777;
  return state;
}

int CreateNew(const std::filesystem::path& name, const TargetState* like) {
  const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, like ? like->mode & 0666 : 0666);
  if (fd >= 0) (void)::flock(fd, LOCK_EX | LOCK_NB);
  return fd;
}

int WriteAll(int handle, const char* data, size_t size) {
  for (size_t done = 0; done < size;) {
    const ssize_t n = ::write(handle, data + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n < 0 ? errno : ENOSPC;
    done += static_cast<size_t>(n);
  }
  return 0;
}

int Close(int handle, const TargetState* like) {
  int error = 0;
  if (like) {
    struct stat now {};
    const bool known = ::fstat(handle, &now) == 0;
    bool setMode = !known || (now.st_mode & 07777) != like->mode;
    if (!known || now.st_uid != like->owner || now.st_gid != like->group) {
      // Only the owner's own files, or root, can keep another owner: not an error.
      (void)::fchown(handle, like->owner, like->group);
      setMode = true;  // a change of owner may clear the set-id bits
    }
    if (setMode && ::fchmod(handle, like->mode) != 0) error = errno;
  }
  if (::close(handle) != 0 && error == 0) error = errno;
  return error;
}

int Replace(const std::filesystem::path& from, const std::filesystem::path& to) {
  return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

void RemoveUnlessLocked(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return;
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0) ::unlink(path.c_str());
  ::close(fd);
}

}  // namespace tessary::outfs
