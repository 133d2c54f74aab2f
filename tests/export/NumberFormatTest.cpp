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

std::string Fixed(double v, int precision) {
  char buf[kMaxFixedChars];
  return std::string(buf, FormatFixed(buf, v, precision));
}

void ExpectLikePrintf(double v) {
  for (int precision : {0, 2, 5, 6}) {
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*f", precision, v);
    ASSERT_EQ(Fixed(v, precision), buf) << "precision " << precision << " bits " << std::bit_cast<uint64_t>(v);
  }
}

TEST(NumberFormat, MatchesPrintfOnSpecialHalfwayAndRandomValues) {
  using limits = std::numeric_limits<double>;
  const double inf = limits::infinity(), nan = limits::quiet_NaN();
  // Signs of NaN and of values that round to zero are kept; exact halves round to even.
  EXPECT_EQ(Fixed(-nan, 6), "-nan");
  EXPECT_EQ(Fixed(-1e-9, 6), "-0.000000");
  EXPECT_EQ(Fixed(1.0 / 128, 6), "0.007812");
  EXPECT_EQ(Fixed(3.0 / 128, 6), "0.023438");
  EXPECT_EQ(Fixed(2.5, 0), "2");
  for (double v : {inf, -inf, nan, -nan, 0.0, -0.0, limits::max(), -limits::max(), limits::denorm_min(),
                   limits::min(), 9.2233720368547758e18, 1.8e19, double{std::numeric_limits<float>::max()},
                   0.125, 0.375, 0.5, 1.5, 0.9999996, 999999.9999995})
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
