#include "export/Utf16Text.h"

#include "export/NumberFormat.h"

namespace tessary {

Utf16Text& Utf16Text::Narrow(std::string_view text) {
  for (char c : text) {
    bytes_.push_back(static_cast<uint8_t>(c));
    bytes_.push_back(0);
  }
  return *this;
}

Utf16Text& Utf16Text::Unit(char16_t unit) {
  bytes_.push_back(static_cast<uint8_t>(unit & 0xFF));
  bytes_.push_back(static_cast<uint8_t>(unit >> 8));
  return *this;
}

Utf16Text& Utf16Text::Fixed(double value, int precision) {
  char digits[kMaxFixedChars];
  return Narrow(std::string_view(digits, static_cast<size_t>(FormatFixed(digits, value, precision) - digits)));
}

Utf16Text& Utf16Text::Int(int64_t value) {
  char digits[kMaxIntChars];
  return Narrow(std::string_view(digits, static_cast<size_t>(FormatInt(digits, value) - digits)));
}

}  // namespace tessary
