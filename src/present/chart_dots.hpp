#pragma once

#include <vector>

namespace vx::present {

// Whether a daily series is drawn as stacked dots (one per unit) instead of bars: at most 31 days
// of whole numbers no larger than 4. An empty series counts as dots. Non-finite values count as 0.
[[nodiscard]] bool countsAsDots(const std::vector<double>& values);

// The diameter of one dot in a width × height frame: small enough that every day gets its column
// and the tallest stack, with 2-point gaps between its dots, fits the height, and never above
// a base size that grows with the frame's height.
[[nodiscard]] double dotSize(double width, double height, const std::vector<double>& values);

}  // namespace vx::present
