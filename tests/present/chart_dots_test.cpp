#include "present/chart_dots.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace vx::present {
namespace {

TEST(CountsAsDots, FewSmallWholeNumbersAreDots) {
  EXPECT_TRUE(countsAsDots({1, 0, 2, 4}));
  EXPECT_TRUE(countsAsDots({}));
  EXPECT_TRUE(countsAsDots({0, 0, 0}));
  EXPECT_TRUE(countsAsDots({-1, 3}));  // whole and at most 4
  EXPECT_TRUE(countsAsDots(std::vector<double>(31, 4)));
}

TEST(CountsAsDots, LargeFractionalOrLongSeriesAreBars) {
  EXPECT_FALSE(countsAsDots({1, 5}));
  EXPECT_FALSE(countsAsDots({0.5, 1}));
  EXPECT_FALSE(countsAsDots({4.0000001}));
  EXPECT_FALSE(countsAsDots(std::vector<double>(32, 1)));
  EXPECT_FALSE(countsAsDots(std::vector<double>(32, 0)));
}

TEST(CountsAsDots, NonFiniteValuesCountAsZero) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_TRUE(countsAsDots({nan, 1}));
  EXPECT_TRUE(countsAsDots({inf, 2}));
  EXPECT_TRUE(countsAsDots({-inf, nan}));
}

TEST(DotSize, TheTallestStackFitsTheHeight) {
  // base 9, by width 140 / 4 - 1.5 = 33.5, by height (40 - 2 * 3) / 4 = 8.5
  EXPECT_DOUBLE_EQ(dotSize(140, 40, {0, 3, 1, 4}), 8.5);
  // Four dots with three gaps in 52 points, under the base size of 12.
  EXPECT_DOUBLE_EQ(dotSize(300, 52, {2, 4}), 11.5);
}

TEST(DotSize, BaseSizeGrowsWithTheHeight) {
  EXPECT_DOUBLE_EQ(dotSize(300, 29.9, {1}), 7);
  EXPECT_DOUBLE_EQ(dotSize(300, 30, {1}), 9);
  EXPECT_DOUBLE_EQ(dotSize(300, 49.9, {1}), 9);
  EXPECT_DOUBLE_EQ(dotSize(300, 50, {1}), 12);
  // No values, or nothing above 1, count as one dot in one column.
  EXPECT_DOUBLE_EQ(dotSize(300, 64, {}), 12);
  EXPECT_DOUBLE_EQ(dotSize(300, 64, {0, 0.5}), 12);
  EXPECT_DOUBLE_EQ(dotSize(8, 5, {0}), 5);
}

TEST(DotSize, EveryDayKeepsItsColumn) {
  EXPECT_DOUBLE_EQ(dotSize(140, 64, std::vector<double>(28, 1)), 140.0 / 28 - 1.5);
  EXPECT_DOUBLE_EQ(dotSize(20, 64, {1, 1}), 8.5);
}

}  // namespace
}  // namespace vx::present
