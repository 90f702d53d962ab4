#include "present/day_bars_layout.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace vx::present {
namespace {

DayBarsLayout lay(std::size_t days, double width) {
  return layoutDayBars(std::vector<double>(days, 5), std::nullopt, width);
}

TEST(DayBarsLayout, GapsNarrowAsTheDaysGrow) {
  EXPECT_DOUBLE_EQ(lay(7, 140).gap, 7);  // 0.35 of a 20-point slot
  EXPECT_DOUBLE_EQ(lay(7, 140).barX(3), 63.5);
  EXPECT_DOUBLE_EQ(lay(14, 140).gap, 3.5);
  EXPECT_DOUBLE_EQ(lay(15, 140).gap, 2);
  EXPECT_DOUBLE_EQ(lay(30, 150).gap, 2);
  EXPECT_DOUBLE_EQ(lay(30, 150).barX(29), 29 * 5 + 1);
  EXPECT_DOUBLE_EQ(lay(45, 150).gap, 2);
  EXPECT_DOUBLE_EQ(lay(46, 150).gap, 1);
  EXPECT_DOUBLE_EQ(lay(90, 180).gap, 1);
  EXPECT_DOUBLE_EQ(lay(90, 60).barWidth(), 0.5);  // never thinner than half a point
}

TEST(DayBarsLayout, PreviousAverageOnlyForBarsOfTheSameLength) {
  const DayBarsLayout l = layoutDayBars({1, 1, 1.5}, std::vector<double>{3, 3, 6}, 140);
  EXPECT_DOUBLE_EQ(l.average.value_or(0), 4);
  EXPECT_DOUBLE_EQ(l.top, 4);  // never below 4, so that a week of ones does not fill the frame
  EXPECT_DOUBLE_EQ(layoutDayBars({5, 6, 7}, std::vector<double>{20, 20, 20}, 140).top, 20);
  EXPECT_FALSE(layoutDayBars({5, 6, 7}, std::vector<double>{3, 3}, 140).average);
  const DayBarsLayout zero = layoutDayBars({5, 6, 7}, std::vector<double>{0, 0, 0}, 140);
  EXPECT_TRUE(zero.average && !zero.showsAverage());  // computed, but nothing to show
  // Huge days overflow their sum, not their average.
  const double huge = std::numeric_limits<double>::max();
  EXPECT_DOUBLE_EQ(layoutDayBars({5, 6}, std::vector<double>{huge, huge}, 140).average.value_or(0),
                   huge);
}

}  // namespace
}  // namespace vx::present
