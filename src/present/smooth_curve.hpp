#pragma once

#include <vector>

namespace vx::present {

// A point of a chart curve: x is a fraction of the chart's width (0...1), y is in the data's own
// units, not yet scaled to the frame.
struct CurvePoint {
  double x = 0;
  double y = 0;
  friend bool operator==(const CurvePoint&, const CurvePoint&) = default;
};

// The smooth curve through a daily series: a monotone cubic Hermite spline (Fritsch–Carlson
// tangents) through one knot at the centre of each of n equal slots, about `samples` points in
// all, running flat from the left edge to the first knot and from the last knot to the right
// edge. Fewer than two values give no curve. Interpolated points never dip below 0; the end
// points keep their values. Non-finite values count as 0.
[[nodiscard]] std::vector<CurvePoint> smoothCurve(const std::vector<double>& values, int samples);

}  // namespace vx::present
