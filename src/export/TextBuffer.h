#pragma once
// A large write buffer in front of an OutputFile for the text exports. Text goes in as it
// will stand in the file; `Text` turns each line feed into CR LF as the Windows text-mode
// files of the formats have it, `Line` ends a line.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

#include "platform/OutputFile.h"

namespace tessary {

class TextBuffer {
 public:
  explicit TextBuffer(OutputFile& file, size_t capacity = size_t{1} << 20);
  ~TextBuffer();
  TextBuffer(const TextBuffer&) = delete;
  TextBuffer& operator=(const TextBuffer&) = delete;

  // Bytes as they are.
  TextBuffer& Raw(std::string_view bytes) {
    if (bytes.empty()) return *this;
    if (bytes.size() > capacity_ - used_) return RawSlow(bytes);
    std::memcpy(data_.get() + used_, bytes.data(), bytes.size());
    used_ += bytes.size();
    return *this;
  }
  TextBuffer& Raw(char c) {
    if (used_ == capacity_) Flush();
    data_[used_++] = c;
    return *this;
  }
  // Text with every line feed written as CR LF (also inside names).
  TextBuffer& Text(std::string_view text);
  // CR LF.
  TextBuffer& Line() { return Raw(std::string_view("\r\n", 2)); }
  // printf("%i").
  TextBuffer& Int(int64_t value);
  // printf("%.*f", precision, value), precision 0 to 9.
  TextBuffer& Fixed(double value, int precision);

  // Room for `n` bytes (at most 4 KiB) to be written in place; `Took` then takes
  // the bytes up to `end`.
  char* Room(size_t n) { return Reserve(n); }
  void Took(const char* end) { used_ = static_cast<size_t>(end - data_.get()); }

  // Hands everything buffered to the file.
  void Flush();

 private:
  char* Reserve(size_t n);
  TextBuffer& RawSlow(std::string_view bytes);

  OutputFile& file_;
  std::unique_ptr<char[]> data_;
  size_t capacity_;
  size_t used_ = 0;
};

}  // namespace tessary
