#include "present/smooth_curve.hpp"

#include <cmath>
#include <cstddef>

#include "present/chart_values.hpp"

namespace vx::present {

namespace {

// The knots sit at the centres of n equal slots across 0...1.
std::vector<double> knotPositions(std::size_t n) {
  std::vector<double> x(n);
  for (std::size_t i = 0; i < n; ++i)
    x[i] = (static_cast<double>(i) + 0.5) / static_cast<double>(n);
  return x;
}

std::vector<double> secantSlopes(const std::vector<double>& x, const std::vector<double>& v) {
  std::vector<double> d(v.size() - 1);
  for (std::size_t k = 0; k + 1 < v.size(); ++k) d[k] = (v[k + 1] - v[k]) / (x[k + 1] - x[k]);
  return d;
}

// Ends take their one secant; an inner knot takes the mean of its two secants when they agree in
// sign and is flat at a peak, a trough or next to a flat segment.
std::vector<double> tangents(const std::vector<double>& d) {
  const std::size_t n = d.size() + 1;
  std::vector<double> m(n);
  m[0] = d[0];
  m[n - 1] = d[n - 2];
  for (std::size_t i = 1; i + 1 < n; ++i) m[i] = d[i - 1] * d[i] > 0 ? (d[i - 1] + d[i]) / 2 : 0;
  return m;
}

// Keeps every segment monotone. Segments are visited left to right, so a knot shared by two
// segments ends with the later segment's value.
void limitTangents(const std::vector<double>& d, std::vector<double>& m) {
  for (std::size_t k = 0; k < d.size(); ++k) {
    if (d[k] == 0) {
      m[k] = 0;
      m[k + 1] = 0;
      continue;
    }
    const double a = m[k] / d[k];
    const double b = m[k + 1] / d[k];
    const double s = a * a + b * b;
    if (s > 9) {
      const double t = 3 / std::sqrt(s);
      m[k] = t * a * d[k];
      m[k + 1] = t * b * d[k];
    }
  }
}

std::size_t stepsPerSegment(int samples, std::size_t n) {
  const double steps = std::ceil(static_cast<double>(samples) / static_cast<double>(n - 1));
  return steps < 2 ? 1 : static_cast<std::size_t>(steps);
}

double hermite(double t, double h, double v0, double v1, double m0, double m1) {
  const double t2 = t * t;
  const double t3 = t2 * t;
  const double h00 = 2 * t3 - 3 * t2 + 1;
  const double h10 = t3 - 2 * t2 + t;
  const double h01 = 3 * t2 - 2 * t3;
  const double h11 = t3 - t2;
  return h00 * v0 + h10 * h * m0 + h01 * v1 + h11 * h * m1;
}

std::vector<CurvePoint> outputPoints(const std::vector<double>& x, const std::vector<double>& v,
                                     const std::vector<double>& m, std::size_t steps) {
  const std::size_t n = v.size();
  std::vector<CurvePoint> points;
  points.reserve(3 + (n - 1) * steps);
  points.push_back({0, v[0]});
  for (std::size_t k = 0; k + 1 < n; ++k) {
    const double h = x[k + 1] - x[k];
    for (std::size_t j = 0; j < steps; ++j) {
      const double t = static_cast<double>(j) / static_cast<double>(steps);
      double y = hermite(t, h, v[k], v[k + 1], m[k], m[k + 1]);
      // Only a value that overflowed can be non-finite here; it is drawn on the zero line.
      if (!std::isfinite(y) || y < 0) y = 0;
      points.push_back({x[k] + t * h, y});
    }
  }
  points.push_back({x[n - 1], v[n - 1]});
  points.push_back({1, v[n - 1]});
  return points;
}

}  // namespace

std::vector<CurvePoint> smoothCurve(const std::vector<double>& values, int samples) {
  const std::vector<double> v = chartValues(values);
  const std::size_t n = v.size();
  if (n < 2) return {};
  const std::vector<double> x = knotPositions(n);
  const std::vector<double> d = secantSlopes(x, v);
  std::vector<double> m = tangents(d);
  limitTangents(d, m);
  const std::size_t steps = stepsPerSegment(samples, n);
  return outputPoints(x, v, m, steps);
}

}  // namespace vx::present
