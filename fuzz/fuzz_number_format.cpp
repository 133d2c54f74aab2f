// The fast number formatting of the text exports against the C library's printf. Each nine
// bytes of the input are one case: eight bytes of a double (or, with the ninth byte's top bit
// set, the float of their low four, as the models store them), and the precision, 0 to 9.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "export/NumberFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (size_t at = 0; at + 9 <= size; at += 9) {
    uint64_t bits = 0;
    std::memcpy(&bits, data + at, 8);
    double value = std::bit_cast<double>(bits);
    if (data[at + 8] & 0x80) value = static_cast<double>(std::bit_cast<float>(static_cast<uint32_t>(bits)));
    const int precision = (data[at + 8] & 0x7F) % 10;
    char expected[400], got[tessary::kMaxFixedChars];
    const int length = std::snprintf(expected, sizeof expected, "%.*f", precision, value);
    const char* end = tessary::FormatFixed(got, value, precision);
    if (end - got != length || std::memcmp(got, expected, static_cast<size_t>(length)) != 0) __builtin_trap();
  }
  return 0;
}
