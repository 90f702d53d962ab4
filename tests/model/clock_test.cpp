#include "model/clock.hpp"

#include <limits>

#include <gtest/gtest.h>

namespace vx {
namespace {

using namespace std::chrono;

Time dayOf(year_month_day day) {
  return Time(sys_days(day).time_since_epoch());
}

TEST(ClockTest, SecondsBetweenAnyTwoDatesKeepsItsSign) {
  const Time first = dayOf(1y / January / 1);
  const Time last = dayOf(9999y / December / 31);
  const Time today = dayOf(2026y / March / 10);
  EXPECT_DOUBLE_EQ(clock::secondsBetween(first, last), 315537811200.0);
  EXPECT_DOUBLE_EQ(clock::secondsBetween(last, first), -315537811200.0);
  EXPECT_DOUBLE_EQ(clock::secondsBetween(dayOf(1700y / January / 1), today), 10293436800.0);
  EXPECT_GT(clock::secondsBetween(Time::min(), Time::max()), 1.8e13);
  EXPECT_LT(clock::secondsBetween(Time::max(), Time::min()), -1.8e13);
  EXPECT_DOUBLE_EQ(clock::secondsBetween(today, today + 1500ms), 1.5);
}

TEST(ClockTest, AddSecondsStopsAtTheEndsOfTheRange) {
  const Time today = dayOf(2026y / March / 10);
  EXPECT_EQ(clock::addSeconds(today, 900), today + 15min);
  EXPECT_EQ(clock::addSeconds(today, -0.25), today - 250ms);
  EXPECT_EQ(clock::addSeconds(today, 1e300), Time::max());
  EXPECT_EQ(clock::addSeconds(today, -1e300), Time::min());
  EXPECT_EQ(clock::addSeconds(Time::max() - 1s, 2), Time::max());
  EXPECT_EQ(clock::addSeconds(today, std::numeric_limits<double>::quiet_NaN()), today);
}

TEST(ClockTest, PinnedAheadOnlyWhenPinnedPastTheSystemsTime) {
  EXPECT_FALSE(clock::pinnedAhead());
  clock::pin(dayOf(1970y / January / 2));
  EXPECT_FALSE(clock::pinnedAhead());
  clock::pin(dayOf(9999y / January / 1));
  EXPECT_TRUE(clock::pinnedAhead());
  clock::unpin();
  EXPECT_FALSE(clock::pinnedAhead());
}

}  // namespace
}  // namespace vx
