#pragma once
// Opening files for reading. Every reader opens through here: the file is opened without
// blocking (a FIFO or a device would otherwise wait for ever for a writer) and anything but
// a regular file is refused, so a hostile working folder cannot hang a command.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tessary {

enum class OpenFailure { None, Missing, NotRegular, Other };

// A descriptor opened for reading, closed with the object.
class ReadDescriptor {
 public:
  ReadDescriptor() = default;
  explicit ReadDescriptor(int fd) : fd_(fd) {}
  ~ReadDescriptor();
  ReadDescriptor(ReadDescriptor&& other) noexcept : fd_(other.Release()) {}
  ReadDescriptor& operator=(ReadDescriptor&& other) noexcept;
  ReadDescriptor(const ReadDescriptor&) = delete;
  ReadDescriptor& operator=(const ReadDescriptor&) = delete;

  bool IsOpen() const { return fd_ >= 0; }
  int Get() const { return fd_; }
  // Gives the descriptor up to the caller.
  int Release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_ = -1;
};

// Opens `path` (a file system path, not a joined one) for reading; a closed descriptor
// and the reason when it is missing, not a regular file, or cannot be opened. The
// descriptor is back in blocking mode when returned.
ReadDescriptor OpenRegularFile(const std::filesystem::path& path, OpenFailure* failure = nullptr,
                               int* error = nullptr);

// The whole of a regular file, or false with the reason (a file larger than `limit`
// bytes counts as Other).
bool ReadRegularFile(const std::filesystem::path& path, std::string& bytes,
                     OpenFailure* failure = nullptr, uint64_t limit = UINT64_MAX);
bool ReadRegularFile(const std::filesystem::path& path, std::vector<uint8_t>& bytes,
                     OpenFailure* failure = nullptr, uint64_t limit = UINT64_MAX);

// "is not a regular file", "does not exist", or the system's reason.
std::string DescribeOpenFailure(OpenFailure failure, int error);

}  // namespace tessary
