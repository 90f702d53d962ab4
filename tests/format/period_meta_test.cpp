#include "format/period_meta.hpp"

#include <gtest/gtest.h>

#include "support/icu_defaults.hpp"

namespace vx {
namespace {

using std::chrono::minutes;
using std::chrono::seconds;

// 5 March 2026 at hh:mm UTC.
Time march5(int hour, int minute) {
  return Time(std::chrono::sys_days(std::chrono::year{2026} / 3 / 5)) + std::chrono::hours(hour) +
         minutes(minute);
}

TEST(PeriodMeta, LabelAloneUpToAnHour) {
  testing::IcuDefaults defaults("en_GB", "UTC");
  const Time updated = march5(14, 5);
  EXPECT_EQ(periodMeta(WidgetPeriod::days7, updated, updated, false), "7 days");
  EXPECT_EQ(periodMeta(WidgetPeriod::days28, updated, updated + seconds(3600), true), "28d");
  EXPECT_EQ(periodMeta(WidgetPeriod::days90, updated, updated - minutes(5), true), "90d");
}

TEST(PeriodMeta, ShowsTheTimeOnTheSameDay) {
  testing::IcuDefaults defaults("en_GB", "UTC");
  const Time updated = march5(14, 5);
  EXPECT_EQ(periodMeta(WidgetPeriod::days7, updated, updated + seconds(3601), false),
            "7 days \u00B7 14:05");
  EXPECT_EQ(periodMeta(WidgetPeriod::days30, updated, updated + seconds(3601), true),
            "30d \u00B7 14:05");
}

TEST(PeriodMeta, ShowsDayAndMonthAcrossMidnight) {
  testing::IcuDefaults defaults("en_GB", "UTC");
  EXPECT_EQ(periodMeta(WidgetPeriod::days7, march5(23, 30), march5(24, 40), true),
            "7d \u00B7 5 Mar");
}

TEST(PeriodMeta, DayAndMonthFollowTheLocalesOrder) {
  testing::IcuDefaults defaults("en_US", "UTC");
  EXPECT_EQ(periodMeta(WidgetPeriod::days7, march5(23, 30), march5(24, 40), true),
            "7d \u00B7 Mar 5");
}

TEST(PeriodMeta, NoChosenLocaleReadsAsUsEnglish) {
  // "C" or an unset LANG gives ICU the POSIX locale; an empty LANG gives it the root locale.
  for (const char* none : {"en_US_POSIX", ""}) {
    testing::IcuDefaults defaults(none, "UTC");
    const Time updated = march5(14, 5);
    EXPECT_EQ(periodMeta(WidgetPeriod::days7, updated, updated + seconds(3601), true),
              "7d \u00B7 2:05\u202FPM")
        << "locale \"" << none << "\"";
    EXPECT_EQ(periodMeta(WidgetPeriod::days7, march5(23, 30), march5(24, 40), true),
              "7d \u00B7 Mar 5")
        << "locale \"" << none << "\"";
  }
}

TEST(PeriodMeta, DaysAreCountedInTheUsersTimeZone) {
  // 23:30 and 00:40 UTC are 00:30 and 01:40 on 6 March in Berlin: the same day there.
  testing::IcuDefaults defaults("de_DE", "Europe/Berlin");
  EXPECT_EQ(periodMeta(WidgetPeriod::days7, march5(23, 30), march5(24, 40), true),
            "7d \u00B7 00:30");
  // 10:00 on 5 March and 10:00 on 6 March in Berlin.
  EXPECT_EQ(periodMeta(WidgetPeriod::days7, march5(9, 0), march5(33, 0), true),
            "7d \u00B7 5. M\u00E4rz");
}

}  // namespace
}  // namespace vx
