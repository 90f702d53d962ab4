#include "widgets/draw_dates.hpp"

#include <gtest/gtest.h>

#include "support/icu_defaults.hpp"

namespace vx::widgets {
namespace {

using namespace std::chrono;
using namespace std::chrono_literals;
using testing::IcuDefaults;

Time utc(year_month_day day, seconds time = 0s) {
  return Time(sys_days(day) + time);
}

class DrawDatesTest : public ::testing::Test {
 protected:
  IcuDefaults defaults_{"en_US", "Europe/Berlin"};
  // Noon in Berlin (UTC+1 in winter); the local day began at 23:00 UTC the evening before.
  const Time noon_ = utc(2026y / January / 14, 11h);
  const Time midnight_ = utc(2026y / January / 14, 23h);
};

TEST_F(DrawDatesTest, NoonWithLiveWindowAheadGivesNowWindowEndAndMidnight) {
  const Time until = noon_ + 10min;
  EXPECT_EQ(drawDates(until, noon_), (std::vector<Time>{noon_, until, midnight_}));
}

TEST_F(DrawDatesTest, WindowEndedBeforeOrAtNowIsLeftOut) {
  EXPECT_EQ(drawDates(noon_ - 2h, noon_), (std::vector<Time>{noon_, midnight_}));
  EXPECT_EQ(drawDates(noon_, noon_), (std::vector<Time>{noon_, midnight_}));
}

TEST_F(DrawDatesTest, WindowEndingAtMidnightCollapsesIntoOneDate) {
  EXPECT_EQ(drawDates(midnight_, noon_), (std::vector<Time>{noon_, midnight_}));
}

TEST_F(DrawDatesTest, WindowEndingAfterMidnightComesLast) {
  const Time lateNow = midnight_ - 5min;
  const Time until = lateNow + 15min;
  EXPECT_EQ(drawDates(until, lateNow), (std::vector<Time>{lateNow, midnight_, until}));
}

TEST_F(DrawDatesTest, SubSecondNowKeepsItsPrecisionAndDayStartsOnTheMillisecond) {
  const Time now = noon_ + 123456us;
  const auto dates = drawDates(now - 1s, now);
  ASSERT_EQ(dates.size(), 2u);
  EXPECT_EQ(dates[0], now);
  EXPECT_EQ(dates[1], midnight_);
}

TEST_F(DrawDatesTest, LocalDayFollowsTheTimeZoneNotUtc) {
  // 23:30 UTC is already the next day in Berlin, so its midnight lies a day later.
  const Time now = utc(2026y / January / 14, 23h + 30min);
  EXPECT_EQ(drawDates(now, now), (std::vector<Time>{now, midnight_ + 24h}));
}

TEST(DrawDatesClockChangeTest, SpringForwardDayEndsAnHourAfterLocalMidnight) {
  IcuDefaults defaults("en_US", "America/New_York");
  // 8 March 2026: clocks go from 02:00 EST to 03:00 EDT. The day starts 05:00 UTC; 86400 s
  // later is 05:00 UTC on the 9th, which is 01:00 EDT, not the local midnight (04:00 UTC).
  const Time now = utc(2026y / March / 8, 17h);
  EXPECT_EQ(drawDates(now, now), (std::vector<Time>{now, utc(2026y / March / 9, 5h)}));
}

TEST(DrawDatesClockChangeTest, FallBackDayEndsAnHourBeforeLocalMidnight) {
  IcuDefaults defaults("en_US", "America/New_York");
  // 1 November 2026: clocks go from 02:00 EDT back to 01:00 EST. The day starts 04:00 UTC;
  // 86400 s later is 04:00 UTC on the 2nd, which is 23:00 EST on the 1st.
  const Time now = utc(2026y / November / 1, 17h);
  EXPECT_EQ(drawDates(now, now), (std::vector<Time>{now, utc(2026y / November / 2, 4h)}));
}

TEST(DrawDatesClockChangeTest, DayWhoseMidnightIsSkippedStartsAtItsFirstMoment) {
  IcuDefaults defaults("en_US", "America/Santiago");
  // 7 September 2025: at 00:00 (UTC-4) clocks went to 01:00 (UTC-3), so the day began at
  // 01:00 local, 04:00 UTC.
  EXPECT_EQ(startOfDay(utc(2025y / September / 7, 15h)), utc(2025y / September / 7, 4h));
}

}  // namespace
}  // namespace vx::widgets
