#include "platform/PrintableText.h"

#include <cstdint>
#include <cstdio>

namespace tessary {

namespace {

// The length of the well-formed UTF-8 sequence of a printable character at the start of
// `s`, or 0.
size_t PrintableSequence(std::string_view s) {
  const auto b0 = static_cast<uint8_t>(s[0]);
  if ((b0 >= 0x20 && b0 < 0x7F) || b0 == '\n' || b0 == '\t') return 1;
  size_t length = b0 >= 0xF0 && b0 <= 0xF4 ? 4 : b0 >= 0xE0 ? 3 : b0 >= 0xC2 && b0 < 0xE0 ? 2 : 0;
  if (length == 0 || s.size() < length) return 0;
  uint32_t cp = b0 & (length == 2 ? 0x1F : length == 3 ? 0x0F : 0x07);
  for (size_t i = 1; i < length; ++i) {
    const auto b = static_cast<uint8_t>(s[i]);
    if ((b & 0xC0) != 0x80) return 0;
    cp = cp << 6 | (b & 0x3F);
  }
  // Overlong forms, surrogates, values past Unicode and the C1 controls are not text.
  if ((length == 3 && cp < 0x800) || (length == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
      (cp >= 0xD800 && cp <= 0xDFFF) || (cp >= 0x80 && cp < 0xA0))
    return 0;
  return length;
}

}  // namespace

std::string PrintableText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  while (!text.empty()) {
    size_t n = PrintableSequence(text);
    if (n == 0) {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<uint8_t>(text[0]));
      out += escaped;
      n = 1;
    } else {
      out.append(text.substr(0, n));
    }
    text.remove_prefix(n);
  }
  return out;
}

}  // namespace tessary
