#include "demo/calendar.hpp"

#include <chrono>
#include <string>

#include <gtest/gtest.h>

namespace vx::demo {
namespace {

using namespace std::chrono;

TEST(DemoTimeStamps, ReadTheirFormsAndRefuseInstantsTheClockCannotHold) {
  const Time at = sys_days(year(2026) / March / 5) + hours(14) + minutes(30);
  EXPECT_EQ(parseStamp("2026-03-05T14:30:00Z"), at);
  EXPECT_EQ(parseStamp("2026-03-05T15:30:00.250+01:00"), at + milliseconds(250));
  EXPECT_EQ(parseStamp("2026-03-05 14:30:00Z"), std::nullopt);
  // Years far from ours are held to the microsecond.
  EXPECT_EQ(parseStamp("9999-12-31T23:59:59Z"),
            Time(sys_days(year(9999) / December / 31) + hours(23) + minutes(59) + seconds(59)));
  EXPECT_EQ(parseStamp("1000-01-01T00:00:00Z"), Time(sys_days(year(1000) / January / 1)));
  // ICU reads years beyond the clock's range happily; the clock cannot hold them.
  EXPECT_EQ(parseStamp("300000-01-01T00:00:00Z"), std::nullopt);
  EXPECT_EQ(parseStamp("-300000-01-01T00:00:00Z"), std::nullopt);
  EXPECT_EQ(parseStamp("2026-03-05T14:30:00.1" + std::string(60, '2') + "Z"), std::nullopt)
      << "a fraction too long to read";
}

}  // namespace
}  // namespace vx::demo
