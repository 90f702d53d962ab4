#pragma once

#include <vector>

namespace vx::present {

// The series a chart draws: every value that is not a finite number (NaN, ±infinity) counts as
// 0, a day without a figure. Charts clean their input with it once, so neither the arithmetic
// nor the painter ever sees a non-finite coordinate.
[[nodiscard]] std::vector<double> chartValues(const std::vector<double>& values);

// The largest value, or `fallback` for an empty list. Expects clean values.
[[nodiscard]] double largestOr(const std::vector<double>& values, double fallback);

}  // namespace vx::present
