#include "present/chart_dots.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace vx::present {
namespace {

TEST(CountsAsDots, OnlyFewSmallWholeNumbers) {
  EXPECT_TRUE(countsAsDots({1, 0, 2, 4}));
  EXPECT_TRUE(countsAsDots({}));
  EXPECT_TRUE(countsAsDots(std::vector<double>(31, 4)));
  EXPECT_FALSE(countsAsDots({1, 5}));
  EXPECT_FALSE(countsAsDots({0.5, 1}));
  EXPECT_FALSE(countsAsDots(std::vector<double>(32, 1)));
  // Non-finite days count as empty ones.
  EXPECT_TRUE(countsAsDots({std::numeric_limits<double>::quiet_NaN(), 1}));
  EXPECT_TRUE(countsAsDots({std::numeric_limits<double>::infinity(), 2}));
}

TEST(DotSize, SmallestOfBaseWidthAndHeightShares) {
  // Base 9; by width 140 / 4 - 1.5 = 33.5; by height (40 - 2 * 3) / 4 = 8.5.
  EXPECT_DOUBLE_EQ(dotSize(140, 40, {0, 3, 1, 4}), 8.5);
  EXPECT_DOUBLE_EQ(dotSize(140, 64, std::vector<double>(28, 1)), 140.0 / 28 - 1.5);
  // The base grows with the height; no values, or none above 1, count as one dot.
  EXPECT_DOUBLE_EQ(dotSize(300, 29.9, {1}), 7);
  EXPECT_DOUBLE_EQ(dotSize(300, 30, {1}), 9);
  EXPECT_DOUBLE_EQ(dotSize(300, 49.9, {}), 9);
  EXPECT_DOUBLE_EQ(dotSize(300, 50, {0, 0.5}), 12);
}

}  // namespace
}  // namespace vx::present
