#include "cli/NumberCheck.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace tessary::cli {

namespace {

std::string Shortest(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.15g", value);
  return text;
}

}  // namespace

CLI::Validator NumberBetween(double min, double max) {
  const std::string range = Shortest(min) + " to " + Shortest(max);
  return CLI::Validator(
      [min, max, range](std::string& input) -> std::string {
        double value = 0;
        if (!CLI::detail::lexical_cast(input, value) || !std::isfinite(value))
          return "Value " + input + " is not a finite number";
        if (value < min || value > max) return "Value " + input + " not in range " + range;
        return {};
      },
      "NUMBER in [" + range + "]");
}

}  // namespace tessary::cli
