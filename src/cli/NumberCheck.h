#pragma once
// The check of a numeric option: a finite number within bounds. CLI11's own number checks
// let "nan" through and print their bounds in full (a 309-digit largest double).
#include <CLI/CLI.hpp>

namespace tessary::cli {

// Accepts a finite number from `min` to `max`, both included. The refusal names the value
// as given and the bounds in their shortest form ("1e-06 to 1000000").
CLI::Validator NumberBetween(double min, double max);

// The factor the exports that take --scale accept.
inline constexpr double kMinScale = 1e-6, kMaxScale = 1e6;

}  // namespace tessary::cli
