#include "format/format_wait.hpp"

#include <gtest/gtest.h>

namespace vx {
namespace {

using std::chrono::hours;
using std::chrono::minutes;
using std::chrono::seconds;

const Time kNow = Time(std::chrono::sys_days(std::chrono::year{2026} / 3 / 10));

std::string waitOf(std::chrono::seconds age) {
  return formatWait(kNow - age, kNow);
}

TEST(FormatWait, RoundsHalfAwayFromZeroAtEachUnit) {
  EXPECT_EQ(waitOf(seconds(29)), "0m");
  EXPECT_EQ(waitOf(seconds(30)), "1m");
  EXPECT_EQ(waitOf(minutes(59) + seconds(29)), "59m");
  EXPECT_EQ(waitOf(minutes(59) + seconds(30)), "1h");
  EXPECT_EQ(waitOf(minutes(89)), "1h");
  EXPECT_EQ(waitOf(minutes(90)), "2h");
  EXPECT_EQ(waitOf(hours(23) + minutes(29)), "23h");
  EXPECT_EQ(waitOf(hours(23) + minutes(30)), "1d");
  EXPECT_EQ(waitOf(hours(36)), "2d");
  EXPECT_EQ(waitOf(hours(24 * 400)), "400d");
}

TEST(FormatWait, SubSecondPrecisionDecidesTheHalfMinute) {
  EXPECT_EQ(formatWait(kNow - std::chrono::milliseconds(29999), kNow), "0m");
}

TEST(FormatWait, FutureSinceCountsAsNoWait) {
  EXPECT_EQ(formatWait(kNow + hours(5), kNow), "0m");
}

}  // namespace
}  // namespace vx
