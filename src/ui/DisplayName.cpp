#include "ui/DisplayName.h"

#include <array>
#include <cstdint>

namespace tessary::ui {

namespace {

// Windows-1252 at 0x80 to 0x9F; the five bytes it leaves undefined show as U+FFFD.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

char16_t Cp1252(uint8_t byte) {
  return byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80] : static_cast<char16_t>(byte);
}

// The length of the valid UTF-8 sequence at the start of `rest` and its code point; 0 when
// the first byte starts none (a stray continuation byte, an overlong form, a surrogate,
// a value above U+10FFFF or a sequence cut short).
size_t Utf8Sequence(std::string_view rest, char32_t& code) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(rest[i]); };
  const uint8_t lead = byte(0);
  size_t length = 0;
  char32_t min = 0;
  if (lead < 0x80) {
    code = lead;
    return 1;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2, code = lead & 0x1F, min = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, code = lead & 0x0F, min = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, code = lead & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (rest.size() < length) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(i) & 0x3F);
  }
  if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

}  // namespace

QString DisplayName(std::string_view bytes) {
  QString text;
  text.reserve(static_cast<qsizetype>(bytes.size()));
  while (!bytes.empty()) {
    char32_t code = 0;
    size_t length = Utf8Sequence(bytes, code);
    if (length == 0) {
      text.append(QChar(Cp1252(static_cast<uint8_t>(bytes[0]))));
      length = 1;
    } else {
      const char32_t one[1] = {code};
      text.append(QString::fromUcs4(one, 1));
    }
    bytes.remove_prefix(length);
  }
  return text;
}

}  // namespace tessary::ui
