#include "present/smooth_curve.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace vx::present {
namespace {

constexpr int kSamples = 140;

// Rising left to right, up to rounding in the last digits.
bool nonDecreasing(const std::vector<CurvePoint>& points) {
  for (std::size_t i = 1; i < points.size(); ++i) {
    const double slack = 1e-12 * std::max(1.0, std::abs(points[i - 1].y));
    if (points[i].y < points[i - 1].y - slack || points[i].x < points[i - 1].x) return false;
  }
  return true;
}

TEST(SmoothCurve, FewerThanTwoValuesGiveNoCurve) {
  EXPECT_TRUE(smoothCurve({}, kSamples).empty());
  EXPECT_TRUE(smoothCurve({5}, kSamples).empty());
}

TEST(SmoothCurve, FlatPairRunsAtItsValueFromEdgeToEdge) {
  const auto points = smoothCurve({2, 2}, kSamples);
  ASSERT_EQ(points.size(), 143u);  // 140 steps in the one segment, plus the three fixed points
  for (const auto& p : points) EXPECT_EQ(p.y, 2);
  EXPECT_EQ(points.front(), (CurvePoint{0, 2}));
  EXPECT_EQ(points[1], (CurvePoint{0.25, 2}));  // the first knot, at the centre of its slot
  EXPECT_EQ(points[points.size() - 2], (CurvePoint{0.75, 2}));
  EXPECT_EQ(points.back(), (CurvePoint{1, 2}));
  EXPECT_TRUE(nonDecreasing(points));
}

TEST(SmoothCurve, StepsPerSegmentShareTheSamplesAndNeverDropBelowOne) {
  // ceil(140 / (n - 1)) steps per segment; 1 once that is below 2.
  EXPECT_EQ(smoothCurve(std::vector<double>(3, 1), kSamples).size(), 3u + 2 * 70);
  EXPECT_EQ(smoothCurve(std::vector<double>(7, 1), kSamples).size(), 3u + 6 * 24);
  EXPECT_EQ(smoothCurve(std::vector<double>(90, 1), kSamples).size(), 3u + 89 * 2);
  EXPECT_EQ(smoothCurve(std::vector<double>(141, 1), kSamples).size(), 3u + 140);
  EXPECT_EQ(smoothCurve(std::vector<double>(300, 1), kSamples).size(), 3u + 299);
  EXPECT_EQ(smoothCurve({1, 2}, 0).size(), 4u);
}

TEST(SmoothCurve, APeakIsFlatAndNeverOvershot) {
  const auto points = smoothCurve({0, 10, 0}, kSamples);
  double highest = 0;
  for (const auto& p : points) highest = std::max(highest, p.y);
  EXPECT_EQ(highest, 10);
  // The peak's knot is the first point of the second segment.
  EXPECT_EQ(points[1 + 70], (CurvePoint{0.5, 10}));
  // Flat tangent at the peak: the neighbours on both sides lie just below it, symmetrically.
  EXPECT_NEAR(points[70].y, points[72].y, 1e-9);
  EXPECT_GT(points[70].y, 9.99);
}

TEST(SmoothCurve, AFlatStretchStaysExactlyFlat) {
  const auto points = smoothCurve({0, 0, 10}, kSamples);
  ASSERT_EQ(points.size(), 143u);
  for (std::size_t i = 0; i <= 71; ++i) EXPECT_EQ(points[i].y, 0) << "point " << i;
  EXPECT_GT(points[72].y, 0);
  EXPECT_TRUE(nonDecreasing(points));
}

TEST(SmoothCurve, RisingSeriesGiveRisingCurves) {
  // Without the limiting pass, the steep second step makes the first segment sag and rise again.
  EXPECT_TRUE(nonDecreasing(smoothCurve({0, 1, 10}, kSamples)));
  EXPECT_TRUE(nonDecreasing(smoothCurve({1, 2, 10, 50}, kSamples)));
  EXPECT_TRUE(nonDecreasing(smoothCurve({0, 0, 1, 1, 40, 41, 41, 400}, kSamples)));
}

TEST(SmoothCurve, AKnotLimitedByTwoSegmentsKeepsTheLaterLimit) {
  // In [1, 2, 10, 50] the knot at 10 is limited for its left segment and again for its right
  // one; the right segment's value stands. Reference values from an independent computation.
  const auto points = smoothCurve({1, 2, 10, 50}, kSamples);
  ASSERT_EQ(points.size(), 3u + 3 * 47);
  EXPECT_NEAR(points[71].x, 0.4973404255319149, 1e-12);
  EXPECT_NEAR(points[71].y, 3.3300653648645393, 1e-9);  // limited in the other order: 3.3612
  EXPECT_NEAR(points[100].y, 12.881071215245443, 1e-9);
  EXPECT_NEAR(points[12].y, 1.1060824125266293, 1e-9);
}

TEST(SmoothCurve, OnlyInterpolatedPointsAreClampedAtZero) {
  const auto points = smoothCurve({-3, 5, -2}, kSamples);
  EXPECT_EQ(points.front(), (CurvePoint{0, -3}));
  EXPECT_EQ(points[points.size() - 2], (CurvePoint{5.0 / 6, -2}));
  EXPECT_EQ(points.back(), (CurvePoint{1, -2}));
  for (std::size_t i = 1; i + 2 < points.size(); ++i) EXPECT_GE(points[i].y, 0) << "point " << i;
  EXPECT_EQ(points[1], (CurvePoint{1.0 / 6, 0}));  // the first knot itself, -3, is interpolated
}

TEST(SmoothCurve, NonFiniteValuesCountAsZero) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const auto points = smoothCurve({nan, 4, inf, -inf, 2}, kSamples);
  EXPECT_EQ(points, smoothCurve({0, 4, 0, 0, 2}, kSamples));
  // Finite but huge values overflow the slopes; the points still stay finite.
  for (const auto& p : smoothCurve({-1e308, 1e308, -1e308}, kSamples)) {
    EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
  }
}

}  // namespace
}  // namespace vx::present
