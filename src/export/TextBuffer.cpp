#include "export/TextBuffer.h"

#include <algorithm>
#include <cstring>

#include "export/NumberFormat.h"

namespace tessary {

namespace {
// Enough for any one number and for the lines the writers format in place.
constexpr size_t kMinCapacity = 4096;
}  // namespace

TextBuffer::TextBuffer(OutputFile& file, size_t capacity)
    : file_(file),
      data_(new char[std::max(capacity, kMinCapacity)]),
      capacity_(std::max(capacity, kMinCapacity)) {}

TextBuffer::~TextBuffer() { Flush(); }

void TextBuffer::Flush() {
  if (used_ != 0) file_.Write(data_.get(), used_);
  used_ = 0;
}

char* TextBuffer::Reserve(size_t n) {
  if (capacity_ - used_ < n) Flush();
  return data_.get() + used_;
}

TextBuffer& TextBuffer::RawSlow(std::string_view bytes) {
  Flush();
  if (bytes.size() >= capacity_) {
    file_.Write(bytes);
    return *this;
  }
  std::memcpy(data_.get() + used_, bytes.data(), bytes.size());
  used_ += bytes.size();
  return *this;
}

TextBuffer& TextBuffer::Text(std::string_view text) {
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\n') continue;
    Raw(text.substr(start, i - start));
    Line();
    start = i + 1;
  }
  return Raw(text.substr(start));
}

TextBuffer& TextBuffer::Int(int64_t value) {
  char* at = Reserve(kMaxIntChars);
  used_ += static_cast<size_t>(FormatInt(at, value) - at);
  return *this;
}

TextBuffer& TextBuffer::Fixed(double value, int precision) {
  char* at = Reserve(kMaxFixedChars);
  used_ += static_cast<size_t>(FormatFixed(at, value, precision) - at);
  return *this;
}

}  // namespace tessary
