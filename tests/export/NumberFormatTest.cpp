// The fast number formatting against the C library's printf.
#include <gtest/gtest.h>

#include <bit>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

#include "export/NumberFormat.h"

namespace tessary {
namespace {

void ExpectLikePrintf(double v) {
  for (int precision : {0, 1, 2, 5, 6, 9}) {
    char expected[400], buf[kMaxFixedChars];
    std::snprintf(expected, sizeof expected, "%.*f", precision, v);
    ASSERT_EQ(std::string(buf, FormatFixed(buf, v, precision)), expected)
        << "precision " << precision << " bits " << std::bit_cast<uint64_t>(v);
  }
}

TEST(NumberFormat, MatchesPrintfOnSpecialHalfwayAndRandomValues) {
  using limits = std::numeric_limits<double>;
  const double inf = limits::infinity(), nan = limits::quiet_NaN();
  // Signs of NaN and of values that round to zero are kept; exact halves round to even.
  for (double v : {inf, -inf, nan, -nan, 0.0, -0.0, -1e-9, limits::max(), -limits::max(), limits::denorm_min(),
                   limits::min(), 9.2233720368547758e18, 1.8e19, double{std::numeric_limits<float>::max()},
                   1.0 / 128, 3.0 / 128, 0.125, 0.375, 0.5, 1.5, 2.5, 0.9999996, 999999.9999995,
                   // Rounding that carries into one more integer digit.
                   9.9999996, -9.9999996, 99.9999996, 99.5, 9.5, 10.0, 100.0})
    ExpectLikePrintf(v);
  std::mt19937_64 rng(20);
  // Random float bit patterns cover tiny, huge, denormal and NaN values.
  for (int i = 0; i < 100000; ++i)
    ExpectLikePrintf(static_cast<double>(std::bit_cast<float>(static_cast<uint32_t>(rng()))));
  // Values of the size that models hold, and the flipped texture coordinate 1 - v.
  std::uniform_real_distribution<float> coordinate(-5000.0f, 5000.0f), unit(-1.0f, 1.0f);
  for (int i = 0; i < 100000; ++i) {
    ExpectLikePrintf(coordinate(rng));
    float u = unit(rng);
    ExpectLikePrintf(u);
    ExpectLikePrintf(1.0 - static_cast<double>(u));
  }
  for (int i = 0; i < 10000; ++i) ExpectLikePrintf(std::bit_cast<double>(rng()));
  for (int k = 0; k < 20000; ++k) ExpectLikePrintf((k + 0.5) / 1e6);  // decimal halves
}

}  // namespace
}  // namespace tessary
