#include "export/NumberFormat.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstring>

namespace tessary {

namespace {

constexpr uint32_t kPowersOfTen[10] = {1,         10,         100,         1000,
                                       10000,     100000,     1000000,     10000000,
                                       100000000, 1000000000};

char* CopyText(char* out, const char* text) {
  size_t n = std::strlen(text);
  std::memcpy(out, text, n);
  return out + n;
}

// "00" to "99".
constexpr auto kDigitPairs = [] {
  std::array<char, 200> pairs{};
  for (int i = 0; i < 100; ++i) {
    pairs[static_cast<size_t>(2 * i)] = static_cast<char>('0' + i / 10);
    pairs[static_cast<size_t>(2 * i + 1)] = static_cast<char>('0' + i % 10);
  }
  return pairs;
}();

// `kDigits` decimals of `fraction` (< 10^kDigits), with leading zeros, two at a time.
template <int kDigits>
char* PutFraction(char* out, uint32_t fraction) {
  if constexpr (kDigits == 6) {
    // "%f": fraction / 10^4 as a 32.32 fixed-point number (the factor 2^32 / 10^4
    // rounded up is exact for every fraction below 10^6); each multiplication by 100
    // brings the next two digits into the integer half.
    const uint64_t y0 = uint64_t{fraction} * 429497u;
    const uint64_t y1 = (y0 & 0xFFFFFFFFu) * 100;
    const uint64_t y2 = (y1 & 0xFFFFFFFFu) * 100;
    std::memcpy(out, kDigitPairs.data() + 2 * (y0 >> 32), 2);
    std::memcpy(out + 2, kDigitPairs.data() + 2 * (y1 >> 32), 2);
    std::memcpy(out + 4, kDigitPairs.data() + 2 * (y2 >> 32), 2);
    return out + 6;
  }
  char* at = out + kDigits;
  for (int left = kDigits; left >= 2; left -= 2) {
    at -= 2;
    std::memcpy(at, kDigitPairs.data() + 2 * (fraction % 100), 2);
    fraction /= 100;
  }
  if constexpr (kDigits % 2 != 0) *--at = static_cast<char>('0' + fraction);
  return out + kDigits;
}

// The integer part: most coordinates have one or two digits.
[[gnu::always_inline]] inline char* PutInteger(char* out, uint64_t value) {
  if (value < 10) {
    *out = static_cast<char>('0' + value);
    return out + 1;
  }
  if (value < 100) {
    std::memcpy(out, kDigitPairs.data() + 2 * value, 2);
    return out + 2;
  }
  return std::to_chars(out, out + 24, value).ptr;
}

}  // namespace

namespace {

// FormatFixed for one precision, so that the divisions by 10^precision are by constants.
template <int kPrecision>
char* FormatFixedAt(char* out, double value) {
  constexpr uint64_t kScale = kPowersOfTen[kPrecision];
  const uint64_t bits = std::bit_cast<uint64_t>(value);
  const bool negative = (bits >> 63) != 0;
  const int exponentField = static_cast<int>((bits >> 52) & 0x7FF);
  const uint64_t fractionField = bits & ((uint64_t{1} << 52) - 1);
  if (exponentField == 0x7FF) {
    if (fractionField != 0) return CopyText(out, negative ? "-nan" : "nan");
    return CopyText(out, negative ? "-inf" : "inf");
  }
  if (negative) *out++ = '-';

  // value = mantissa * 2^exponent exactly.
  uint64_t mantissa = fractionField;
  int exponent = -1074;
  if (exponentField != 0) {
    mantissa |= uint64_t{1} << 52;
    exponent = exponentField - 1075;
  }

  uint64_t integerPart = 0;
  uint32_t fractionPart = 0;
  if (exponent >= 0) {
    if (exponent > 10) {
      // Beyond 2^63: rare enough for the library's exact conversion.
      double magnitude = negative ? -value : value;
      return std::to_chars(out, out + kMaxFixedChars, magnitude, std::chars_format::fixed,
                           kPrecision)
          .ptr;
    }
    integerPart = mantissa << exponent;
  } else {
    // value * 10^precision = mantissa * scale / 2^shift, rounded to the nearest integer,
    // exact halves to even (glibc's rounding in the default rounding mode).
    int shift = -exponent;
    if (mantissa == 0) {
      out = PutInteger(out, 0);
      if constexpr (kPrecision > 0) {
        *out++ = '.';
        out = PutFraction<kPrecision>(out, 0);
      }
      return out;
    }
    // Floats widened to double (most of what is printed) carry 29 zero bits at the
    // bottom; without them the product fits 64 bits and the rounding needs no 128-bit
    // arithmetic.
    const int strip = std::min(std::countr_zero(mantissa), shift);
    const uint64_t narrow = mantissa >> strip;
    if (narrow <= (UINT64_MAX >> 1) / kScale && shift - strip < 64) {
      shift -= strip;
      const uint64_t scaled = narrow * kScale;  // < 2^63: adding a half cannot overflow
      uint64_t q = scaled;
      if (shift > 0) {
        // Halves to even without a branch: just under a half is added, plus one when
        // the truncated quotient is odd.
        const uint64_t half = uint64_t{1} << (shift - 1);
        q = (scaled + (half - 1) + ((scaled >> shift) & 1)) >> shift;
      }
      out = PutInteger(out, q / kScale);
      if constexpr (kPrecision > 0) {
        *out++ = '.';
        out = PutFraction<kPrecision>(out, static_cast<uint32_t>(q % kScale));
      }
      return out;
    }
    const unsigned __int128 scaled = static_cast<unsigned __int128>(mantissa) * kScale;  // < 2^83
    unsigned __int128 quotient = 0;
    if (shift < 84) {
      quotient = scaled >> shift;
      const unsigned __int128 remainder = scaled - (quotient << shift);
      const unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
      if (remainder > half || (remainder == half && (quotient & 1) != 0)) ++quotient;
    }  // else the scaled value is below one half and rounds to 0
    if ((quotient >> 64) == 0) {
      const uint64_t q = static_cast<uint64_t>(quotient);
      integerPart = q / kScale;
      fractionPart = static_cast<uint32_t>(q % kScale);
    } else {
      integerPart = static_cast<uint64_t>(quotient / kScale);
      fractionPart = static_cast<uint32_t>(quotient % kScale);
    }
  }
  out = PutInteger(out, integerPart);
  if constexpr (kPrecision > 0) {
    *out++ = '.';
    out = PutFraction<kPrecision>(out, fractionPart);
  }
  return out;
}

}  // namespace

char* FormatFixed(char* out, double value, int precision) {
  switch (precision) {
    case 0: return FormatFixedAt<0>(out, value);
    case 1: return FormatFixedAt<1>(out, value);
    case 2: return FormatFixedAt<2>(out, value);
    case 3: return FormatFixedAt<3>(out, value);
    case 4: return FormatFixedAt<4>(out, value);
    case 5: return FormatFixedAt<5>(out, value);
    case 6: return FormatFixedAt<6>(out, value);
    case 7: return FormatFixedAt<7>(out, value);
    case 8: return FormatFixedAt<8>(out, value);
    default: return precision < 0 ? FormatFixedAt<0>(out, value) : FormatFixedAt<9>(out, value);
  }
}

char* FormatFixed6(char* out, double value) { return FormatFixedAt<6>(out, value); }

char* FormatInt(char* out, int64_t value) {
  return std::to_chars(out, out + kMaxIntChars, value).ptr;
}

}  // namespace tessary
