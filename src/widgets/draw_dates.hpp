#pragma once

#include <vector>

#include "model/clock.hpp"

namespace vx::widgets {

// Seconds from the start of a local day to what the widgets call the next midnight.
inline constexpr double kDayLength = 86400;

// The start of the local calendar day holding `at`, in the user's calendar and time zone
// (ICU's defaults, which follow the locale and TZ). On a day whose midnight is skipped by a
// clock change, the day starts at the first valid time after it.
[[nodiscard]] Time startOfDay(Time at);

// The moments at which a widget must be drawn again because something that depends on the
// time changes: `now` itself, then, when they lie after it, the end of the live figures'
// window and the next midnight (start of today + exactly 86400 s, so an hour off the wall
// clock's midnight on a day the clocks change). Ascending, without duplicates, one to three.
[[nodiscard]] std::vector<Time> drawDates(Time realtimeUntil, Time now);

}  // namespace vx::widgets
