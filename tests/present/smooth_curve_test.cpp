#include "present/smooth_curve.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace vx::present {
namespace {

std::vector<CurvePoint> curve(const std::vector<double>& values) {
  return smoothCurve(values, 140);
}

// Rising left to right, up to rounding in the last digits.
bool rising(const std::vector<CurvePoint>& points) {
  for (std::size_t i = 1; i < points.size(); ++i) {
    const double slack = 1e-12 * std::max(1.0, std::abs(points[i - 1].y));
    if (points[i].y < points[i - 1].y - slack || points[i].x < points[i - 1].x) return false;
  }
  return true;
}

TEST(SmoothCurve, FlatPairRunsAtItsValueFromEdgeToEdge) {
  const auto points = curve({2, 2});
  ASSERT_EQ(points.size(), 143u);  // 140 steps in the one segment, plus the three fixed points
  for (const auto& p : points) EXPECT_EQ(p.y, 2);
  EXPECT_EQ(points[0], (CurvePoint{0, 2}));
  EXPECT_EQ(points[141], (CurvePoint{0.75, 2}));
  EXPECT_EQ(points[142], (CurvePoint{1, 2}));
}

TEST(SmoothCurve, SamplesAreSharedBetweenSegments) {
  EXPECT_TRUE(curve({}).empty());
  EXPECT_TRUE(curve({5}).empty());
  EXPECT_EQ(curve(std::vector<double>(90, 1)).size(), 3u + 89 * 2);
  EXPECT_EQ(curve(std::vector<double>(141, 1)).size(), 3u + 140);  // 1 step, not 0
  EXPECT_EQ(smoothCurve({1, 2}, 0).size(), 4u);
}

TEST(SmoothCurve, PeaksAndFlatStretchesAreNeverOvershot) {
  const auto peak = curve({0, 10, 0});
  EXPECT_EQ(peak[71], (CurvePoint{0.5, 10}));  // the peak's knot
  for (const auto& p : peak) EXPECT_LE(p.y, 10);

  const auto step = curve({0, 0, 10});
  for (std::size_t i = 0; i <= 71; ++i) EXPECT_EQ(step[i].y, 0) << "point " << i;
  EXPECT_GT(step[72].y, 0);
  EXPECT_TRUE(rising(step));
}

TEST(SmoothCurve, RisingSeriesGiveRisingCurves) {
  // Without limiting the tangents, the steep second step makes the first segment sag and rise.
  EXPECT_TRUE(rising(curve({0, 1, 10})));
  EXPECT_TRUE(rising(curve({0, 0, 1, 1, 40, 41, 41, 400})));
  // In [1, 2, 10, 50] the knot at 10 is limited by its left segment and again by its right one;
  // the right segment's value stands. Reference values from an independent computation.
  const auto points = curve({1, 2, 10, 50});
  ASSERT_EQ(points.size(), 3u + 3 * 47);
  EXPECT_TRUE(rising(points));
  EXPECT_NEAR(points[71].x, 0.4973404255319149, 1e-12);
  EXPECT_NEAR(points[71].y, 3.3300653648645393, 1e-9);  // limited in the other order: 3.3612
}

TEST(SmoothCurve, OnlyInterpolatedPointsAreClampedAtZero) {
  const auto points = curve({-3, 5, -2});
  EXPECT_EQ(points.front(), (CurvePoint{0, -3}));
  EXPECT_EQ(points[1], (CurvePoint{1.0 / 6, 0}));  // the first knot, interpolated, is clamped
  EXPECT_EQ(points[points.size() - 2], (CurvePoint{5.0 / 6, -2}));
  EXPECT_EQ(points.back(), (CurvePoint{1, -2}));
  for (std::size_t i = 1; i + 2 < points.size(); ++i) EXPECT_GE(points[i].y, 0) << "point " << i;
}

TEST(SmoothCurve, NonFiniteValuesCountAsZero) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(curve({nan, 4, inf, -inf, 2}), curve({0, 4, 0, 0, 2}));
  // Finite but huge values overflow the slopes; the points still stay finite.
  const double huge = std::numeric_limits<double>::max();
  for (const auto& p : curve({-huge, huge, -huge})) EXPECT_TRUE(std::isfinite(p.y));
}

}  // namespace
}  // namespace vx::present
