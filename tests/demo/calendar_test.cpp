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
  // ICU reads these years happily; the clock cannot hold them.
  for (const char* far : {"3026-03-05T14:30:00.250+01:00", "9999-12-31T23:59:59Z",
                          "1000-01-01T00:00:00Z", "275760-09-13T00:00:00Z"}) {
    EXPECT_EQ(parseStamp(far), std::nullopt) << far;
  }
  EXPECT_EQ(parseStamp("2026-03-05T14:30:00.1" + std::string(60, '2') + "Z"), std::nullopt)
      << "a fraction too long to read";
}

}  // namespace
}  // namespace vx::demo
