#include "present/day_bars_layout.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace vx::present {
namespace {

std::vector<double> days(std::size_t n, double value = 5) {
  return std::vector<double>(n, value);
}

TEST(DayBarsLayout, GapsNarrowAsTheDaysGrow) {
  const DayBarsLayout week = layoutDayBars(days(7), std::nullopt, 140);
  EXPECT_DOUBLE_EQ(week.slot, 20);
  EXPECT_DOUBLE_EQ(week.gap, 7);  // 0.35 of the slot
  EXPECT_DOUBLE_EQ(week.barX(3), 63.5);
  EXPECT_DOUBLE_EQ(week.barWidth(), 13);

  EXPECT_DOUBLE_EQ(layoutDayBars(days(14), std::nullopt, 140).gap, 3.5);
  EXPECT_DOUBLE_EQ(layoutDayBars(days(15), std::nullopt, 140).gap, 2);
  const DayBarsLayout month = layoutDayBars(days(30), std::nullopt, 150);
  EXPECT_DOUBLE_EQ(month.gap, 2);
  EXPECT_DOUBLE_EQ(month.barX(29), 29 * 5 + 1);
  EXPECT_DOUBLE_EQ(month.barWidth(), 3);
  EXPECT_DOUBLE_EQ(layoutDayBars(days(45), std::nullopt, 150).gap, 2);
  EXPECT_DOUBLE_EQ(layoutDayBars(days(46), std::nullopt, 150).gap, 1);
  const DayBarsLayout quarter = layoutDayBars(days(90), std::nullopt, 180);
  EXPECT_DOUBLE_EQ(quarter.gap, 1);
  EXPECT_DOUBLE_EQ(quarter.barWidth(), 1);
}

TEST(DayBarsLayout, BarsKeepAVisibleSize) {
  // 90 days in 60 points leave no room between the gaps; a bar is still half a point wide.
  EXPECT_DOUBLE_EQ(layoutDayBars(days(90), std::nullopt, 60).barWidth(), 0.5);
  // A 1 next to a 400 is 3 points high, not 0.1.
  const DayBarsLayout l = layoutDayBars({1, 400, 0}, std::nullopt, 140);
  EXPECT_DOUBLE_EQ(l.top, 400);
  EXPECT_DOUBLE_EQ(l.barHeight(400, 40), 40);
  EXPECT_DOUBLE_EQ(l.barHeight(1, 40), 3);
  EXPECT_DOUBLE_EQ(l.barHeight(100, 40), 10);
}

TEST(DayBarsLayout, ScaleTopsAtLeastFour) {
  const DayBarsLayout small = layoutDayBars({1, 1, 1.5}, std::nullopt, 140);
  EXPECT_DOUBLE_EQ(small.top, 4);
  EXPECT_DOUBLE_EQ(small.barHeight(1, 40), 10);
  EXPECT_DOUBLE_EQ(layoutDayBars({}, std::nullopt, 140).top, 4);
  EXPECT_DOUBLE_EQ(layoutDayBars({-7, -2}, std::nullopt, 140).top, 4);
}

TEST(DayBarsLayout, PreviousAverageOnlyForBarsOfTheSameLength) {
  const DayBarsLayout l = layoutDayBars({5, 6, 7}, std::vector<double>{3, 3, 6}, 140);
  ASSERT_TRUE(l.average.has_value());
  EXPECT_DOUBLE_EQ(*l.average, 4);
  EXPECT_TRUE(l.showsAverage());
  EXPECT_DOUBLE_EQ(l.top, 7);
  EXPECT_DOUBLE_EQ(l.levelY(*l.average, 70), 30);

  // A higher average raises the scale.
  EXPECT_DOUBLE_EQ(layoutDayBars({5, 6, 7}, std::vector<double>{20, 20, 20}, 140).top, 20);
  // Different length, no previous period, or a dot chart: nothing to compare.
  EXPECT_FALSE(layoutDayBars({5, 6, 7}, std::vector<double>{3, 3}, 140).average);
  EXPECT_FALSE(layoutDayBars({5, 6, 7}, std::nullopt, 140).average);
  const DayBarsLayout dots = layoutDayBars({1, 0, 2, 4}, std::vector<double>{9, 9, 9, 9}, 140);
  EXPECT_TRUE(dots.dots);
  EXPECT_FALSE(dots.average);
  EXPECT_DOUBLE_EQ(dots.top, 4);
  // An average of 0 is computed but not shown.
  const DayBarsLayout zero = layoutDayBars({5, 6, 7}, std::vector<double>{0, 0, 0}, 140);
  EXPECT_TRUE(zero.average.has_value());
  EXPECT_FALSE(zero.showsAverage());
}

TEST(DayBarsLayout, NonFiniteValuesCountAsZero) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const DayBarsLayout l =
      layoutDayBars({inf, 6, 7, 8.5}, std::vector<double>{nan, 6, 6, -inf}, 140);
  EXPECT_FALSE(l.dots);
  EXPECT_DOUBLE_EQ(l.top, 8.5);
  EXPECT_DOUBLE_EQ(l.average.value_or(-1), 3);
  // Huge finite days overflow their sum, not their average.
  const double huge = std::numeric_limits<double>::max();
  const DayBarsLayout big = layoutDayBars({5, 6}, std::vector<double>{huge, huge}, 140);
  EXPECT_DOUBLE_EQ(big.average.value_or(0), huge);
  EXPECT_DOUBLE_EQ(big.top, huge);
}

}  // namespace
}  // namespace vx::present
