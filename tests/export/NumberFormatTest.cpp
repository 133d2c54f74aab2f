// The fast number formatting against the C library's printf over many values.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "export/NumberFormat.h"

namespace tessary {
namespace {

std::string Fixed(double v, int precision) {
  char buf[kMaxFixedChars];
  return std::string(buf, FormatFixed(buf, v, precision));
}

std::string Printf(double v, int precision) {
  char buf[400];
  std::snprintf(buf, sizeof buf, "%.*f", precision, v);
  return buf;
}

void ExpectLikePrintf(double v) {
  for (int precision : {0, 2, 5, 6})
    ASSERT_EQ(Fixed(v, precision), Printf(v, precision)) << "precision " << precision
                                                         << " bits " << std::bit_cast<uint64_t>(v);
}

TEST(NumberFormat, SpecialValuesPrintAsGlibcDoes) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(Fixed(inf, 6), "inf");
  EXPECT_EQ(Fixed(-inf, 6), "-inf");
  EXPECT_EQ(Fixed(nan, 6), "nan");
  EXPECT_EQ(Fixed(-nan, 6), "-nan");
  EXPECT_EQ(Fixed(-0.0, 6), "-0.000000");
  EXPECT_EQ(Fixed(-1e-9, 6), "-0.000000");
  // Exact halves round to even: 1/128 = 0.0078125, 3/128 = 0.0234375.
  EXPECT_EQ(Fixed(1.0 / 128, 6), "0.007812");
  EXPECT_EQ(Fixed(3.0 / 128, 6), "0.023438");
  EXPECT_EQ(Fixed(0.125, 2), "0.12");
  EXPECT_EQ(Fixed(0.375, 2), "0.38");
  EXPECT_EQ(Fixed(2.5, 0), "2");
  EXPECT_EQ(Fixed(0.9999996, 6), "1.000000");
  for (double v : {inf, -inf, nan, -nan, 0.0, -0.0, std::numeric_limits<double>::max(),
                   -std::numeric_limits<double>::max(), std::numeric_limits<double>::denorm_min(),
                   std::numeric_limits<double>::min(), 9.2233720368547758e18, 1.8e19,
                   static_cast<double>(std::numeric_limits<float>::max()), 0.5, 1.5, 999999.9999995})
    ExpectLikePrintf(v);
}

TEST(NumberFormat, RandomFloatsAndDoublesMatchPrintf) {
  std::mt19937_64 rng(20);
  // Every float bit pattern class: random bits cover tiny, huge, denormal and NaN values.
  for (int i = 0; i < 100000; ++i)
    ExpectLikePrintf(static_cast<double>(std::bit_cast<float>(static_cast<uint32_t>(rng()))));
  // Values of the size that models hold, where the digits matter most.
  std::uniform_real_distribution<float> coordinate(-5000.0f, 5000.0f);
  std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
  for (int i = 0; i < 100000; ++i) {
    ExpectLikePrintf(coordinate(rng));
    float u = unit(rng);
    ExpectLikePrintf(u);
    ExpectLikePrintf(1.0 - static_cast<double>(u));  // the flipped texture coordinate
  }
  for (int i = 0; i < 10000; ++i) ExpectLikePrintf(std::bit_cast<double>(rng()));
  // Decimal halves near every precision's rounding step.
  for (int k = 0; k < 20000; ++k) ExpectLikePrintf((k + 0.5) / 1e6);
}

}  // namespace
}  // namespace tessary
