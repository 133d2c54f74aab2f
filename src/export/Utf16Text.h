#pragma once
// 16-bit little-endian text without byte-order mark, as the tags listing is written: each
// byte of an 8-bit string becomes the code unit of the same value.
#include <cstdint>
#include <string_view>
#include <vector>

namespace tessary {

class Utf16Text {
 public:
  // Widens `text` byte by byte.
  Utf16Text& Narrow(std::string_view text);
  // One code unit.
  Utf16Text& Unit(char16_t unit);
  // printf("%.*f", precision, value) and printf("%d"), widened.
  Utf16Text& Fixed(double value, int precision);
  Utf16Text& Int(int64_t value);
  // The carriage return and line feed units.
  Utf16Text& Line() { return Unit(u'\r').Unit(u'\n'); }

  const std::vector<uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

}  // namespace tessary
