#pragma once

// Days and instants as the demo service prints and reads them. Day texts are Gregorian
// "yyyy-MM-dd" in UTC; instants are ISO 8601 internet date-times. ICU does the formatting, the
// parsing and the time-zone offsets.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "model/clock.hpp"

namespace vx::demo {

using Day = std::chrono::sys_days;

// "2026-03-05".
[[nodiscard]] std::string dayText(Day day);
// The day of a "yyyy-MM-dd" text; nothing when the text is anything else.
[[nodiscard]] std::optional<Day> parseDay(std::string_view text);

// Where an instant falls in a project's time zone: the calendar day there and the share of that
// day already gone (0 at midnight, just under 1 before the next). An absent or unknown zone
// name counts as UTC.
struct LocalMoment {
  Day day;
  double dayFraction = 0;
};
[[nodiscard]] LocalMoment localMoment(const std::optional<std::string>& timeZone, Time at);

// How an instant is written in a time stamp.
enum class StampForm {
  utc,           // 2026-03-05T14:30:00Z
  utcFraction,   // 2026-03-05T14:30:00.123Z
  offsetHours1,  // 2026-03-05T15:30:00+01:00
};
[[nodiscard]] std::string stampText(Time at, StampForm form = StampForm::utc);

// Reads "2026-03-05T14:30:00Z", "2026-03-05T14:30:00.250+01:00" and the like; nothing when the
// text is not such a date-time.
[[nodiscard]] std::optional<Time> parseStamp(std::string_view text);

}  // namespace vx::demo
