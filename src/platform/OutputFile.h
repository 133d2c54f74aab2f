#pragma once
// An output file that appears whole or not at all: bytes go to a temporary file in the
// target's folder, which `Commit` renames into place. Destroying an uncommitted file
// removes the temporary, so a failed export leaves nothing half-written behind.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace tessary {

class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // `path` is a joined path; it is resolved as ResolvePath does, so a file that exists
  // under another letter case is the one replaced.
  bool Open(std::string_view path);
  bool IsOpen() const { return file_ != nullptr; }

  void Write(const void* data, size_t size);
  void Write(std::string_view bytes) { Write(bytes.data(), bytes.size()); }
  // Text of the Windows text-mode formats: every line feed is written as CR LF.
  void WriteText(std::string_view text);
  // printf-style text with the C locale's number format, written through WriteText.
  void PrintText(const char* format, ...) 
#if defined(__GNUC__)
      __attribute__((format(printf, 2, 3)))
#endif
      ;

  // Flushes, closes and renames into place; false (and nothing left behind) on failure.
  bool Commit();
  // Removes the temporary without writing the target.
  void Discard();
  const std::filesystem::path& Target() const { return target_; }

 private:
  struct Closer {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  std::unique_ptr<std::FILE, Closer> file_;
  std::filesystem::path target_;
  std::filesystem::path temp_;
  bool failed_ = false;
};

}  // namespace tessary
