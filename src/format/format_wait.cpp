#include "format/format_wait.hpp"

#include <cmath>
#include <cstdint>

namespace vx {
namespace {

// Rounds to the nearest whole number, halves away from zero.
std::int64_t rounded(double x) {
  return std::llround(x);
}

}  // namespace

std::string formatWait(Time since, Time now) {
  const double seconds = clock::secondsBetween(since, now);
  std::int64_t minutes = rounded(seconds / 60.0);
  if (minutes < 0) minutes = 0;
  if (minutes <= 59) return std::to_string(minutes) + "m";
  const std::int64_t hours = rounded(static_cast<double>(minutes) / 60.0);
  if (hours < 24) return std::to_string(hours) + "h";
  const std::int64_t days = rounded(static_cast<double>(hours) / 24.0);
  return std::to_string(days) + "d";
}

}  // namespace vx
