#include "refresh/day_window.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "model/clock.hpp"
#include "support/icu_defaults.hpp"

namespace vx::refresh {
namespace {

using std::chrono::hours;
using std::chrono::minutes;
using ::testing::ElementsAre;

Time march10At(hours hour, minutes minute = minutes(0)) {
  return Time(std::chrono::sys_days(std::chrono::year{2026} / 3 / 10)) + hour + minute;
}

class DayBoundsTest : public ::testing::Test {
 protected:
  // A default zone far from UTC, so that falling back to it instead of UTC shows.
  vx::testing::IcuDefaults defaults_{"en_US", "America/Los_Angeles"};
  ~DayBoundsTest() override { clock::unpin(); }
};

TEST_F(DayBoundsTest, WindowIsTheWholeDaysBeforeToday) {
  clock::pin(march10At(hours(12)));
  EXPECT_EQ(dayBounds(WidgetPeriod::days7, "UTC"), (DayBounds{"2026-03-03", "2026-03-09"}));
  EXPECT_EQ(dayBounds(WidgetPeriod::days28, "UTC"), (DayBounds{"2026-02-10", "2026-03-09"}));
  EXPECT_EQ(dayBounds(WidgetPeriod::days30, "UTC"), (DayBounds{"2026-02-08", "2026-03-09"}));
  EXPECT_EQ(dayBounds(WidgetPeriod::days90, "UTC"), (DayBounds{"2025-12-10", "2026-03-09"}));
}

TEST_F(DayBoundsTest, KiritimatiIsOneDayAheadFromTenUtc) {
  const DayBounds utc{"2026-03-03", "2026-03-09"};
  const DayBounds ahead{"2026-03-04", "2026-03-10"};
  clock::pin(march10At(hours(9), minutes(59)));
  EXPECT_EQ(dayBounds(WidgetPeriod::days7, "Pacific/Kiritimati"), utc);
  clock::pin(march10At(hours(10)));
  EXPECT_EQ(dayBounds(WidgetPeriod::days7, "Pacific/Kiritimati"), ahead);
  clock::pin(march10At(hours(23), minutes(59)));
  EXPECT_EQ(dayBounds(WidgetPeriod::days7, "Pacific/Kiritimati"), ahead);
  EXPECT_EQ(dayBounds(WidgetPeriod::days7, "UTC"), utc);
}

TEST_F(DayBoundsTest, UnknownOrAbsentZoneIsUtc) {
  // At 03:00 UTC the default zone (Los Angeles) is still on 9 March.
  clock::pin(march10At(hours(3)));
  const DayBounds utc{"2026-03-03", "2026-03-09"};
  EXPECT_EQ(dayBounds(WidgetPeriod::days7, "Mars/Olympus_Mons"), utc);
  EXPECT_EQ(dayBounds(WidgetPeriod::days7, ""), utc);
  EXPECT_EQ(dayBounds(WidgetPeriod::days7, std::nullopt), utc);
}

TEST(PreviousBounds, IsTheSameLengthEndingTheDayBefore) {
  EXPECT_EQ(previousBounds({"2026-03-03", "2026-03-09"}), (DayBounds{"2026-02-24", "2026-03-02"}));
  EXPECT_EQ(previousBounds({"2026-01-01", "2026-01-01"}), (DayBounds{"2025-12-31", "2025-12-31"}));
  EXPECT_EQ(previousBounds({"2024-03-01", "2024-03-30"}), (DayBounds{"2024-01-31", "2024-02-29"}));
}

TEST(PreviousBounds, UnreadableDaysGiveNothing) {
  EXPECT_EQ(previousBounds({"2026-03-03", "yesterday"}), std::nullopt);
  EXPECT_EQ(previousBounds({"2026-02-30", "2026-03-09"}), std::nullopt);
  EXPECT_EQ(previousBounds({"2026-03-03T00:00:00Z", "2026-03-09"}), std::nullopt);
}

TEST(Fill, MissingDaysAreZeroInDayOrder) {
  const std::vector<DatedValue> points = {{"2026-03-09", 9},
                                          {"2026-03-03", 3},
                                          {"2026-03-05", 5},
                                          {"2026-03-06", 6},
                                          {"2026-03-08", 8}};
  EXPECT_THAT(fill(points, DayBounds{"2026-03-03", "2026-03-09"}),
              ElementsAre(3, 0, 5, 6, 0, 8, 9));
}

TEST(Fill, PointsOfOneDayAreSummedWithOrWithoutTimePart) {
  const std::vector<DatedValue> points = {{"2026-03-05", 3}, {"2026-03-05T12:00:00", 4}};
  EXPECT_THAT(fill(points, DayBounds{"2026-03-04", "2026-03-06"}), ElementsAre(0, 7, 0));
}

TEST(Fill, PointsOutsideTheWindowAreDropped) {
  const std::vector<DatedValue> points = {
      {"2026-03-02", 100}, {"2026-03-03", 1}, {"2026-03-10", 100}, {"03-03", 100}};
  EXPECT_THAT(fill(points, DayBounds{"2026-03-03", "2026-03-04"}), ElementsAre(1, 0));
}

TEST(Fill, WithoutUsableBoundsAnswersTheValuesAsTheyCome) {
  const std::vector<DatedValue> points = {{"2026-03-05", 3}, {"2026-03-05", 4}, {"junk", 1}};
  EXPECT_THAT(fill(points, std::nullopt), ElementsAre(3, 4, 1));
  EXPECT_THAT(fill(points, DayBounds{"2026-03-03", "never"}), ElementsAre(3, 4, 1));
}

TEST(Fill, IsCappedAtFourHundredValues) {
  const std::vector<double> values =
      fill({{"2021-01-01", 2}}, DayBounds{"2021-01-01", "2026-01-01"});
  ASSERT_EQ(values.size(), kFillCap);
  EXPECT_EQ(values.front(), 2);
}

// Each project's figures are worked out on a thread of its own, every one reading and printing
// days at once: the answers are those of one thread alone.
TEST(Fill, ThreadsSideBySideGetTheSameDays) {
  std::vector<DatedValue> points;
  for (int day = 1; day <= 28; ++day) {
    points.push_back({"2026-02-" + std::string(day < 10 ? "0" : "") + std::to_string(day),
                      static_cast<double>(day)});
  }
  const DayBounds window{"2026-02-01", "2026-02-28"};
  const std::vector<double> alone = fill(points, window);
  const auto previousAlone = previousBounds(window);
  ASSERT_EQ(alone.size(), 28u);
  std::vector<std::vector<double>> filled(4);
  std::vector<std::optional<DayBounds>> previous(4);
  {
    std::vector<std::jthread> threads;
    for (std::size_t t = 0; t < filled.size(); ++t) {
      threads.emplace_back([&, t] {
        for (int round = 0; round < 50; ++round) {
          filled[t] = fill(points, window);
          previous[t] = previousBounds(window);
        }
      });
    }
  }
  for (std::size_t t = 0; t < filled.size(); ++t) {
    EXPECT_EQ(filled[t], alone) << "thread " << t;
    EXPECT_EQ(previous[t], previousAlone) << "thread " << t;
  }
}

}  // namespace
}  // namespace vx::refresh
