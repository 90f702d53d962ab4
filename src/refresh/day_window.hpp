#pragma once

// The day window of a period in a project's time zone, and the filling of the service's day
// series so that every day of a window has a value. Days are "yyyy-MM-dd" texts of the UTC
// Gregorian calendar throughout.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "model/widget_period.hpp"

namespace vx::refresh {

// First and last day of a window, both inclusive.
struct DayBounds {
  std::string from;
  std::string to;

  bool operator==(const DayBounds&) const = default;
};

// One service data point: its date as sent ("2026-03-05" or "2026-03-05T00:00:00Z") and value.
struct DatedValue {
  std::string date;
  double value = 0;
};

// `fill` never answers more values than this, whatever bounds it is given.
inline constexpr std::size_t kFillCap = 400;

// The whole days of the period before today in the named IANA time zone (today excluded); an
// absent or unknown zone counts as UTC. Nothing when the day arithmetic cannot be done.
[[nodiscard]] std::optional<DayBounds> dayBounds(WidgetPeriod period,
                                                 const std::optional<std::string>& timeZone);

// The window of the same length that ends the day before `bounds` starts.
[[nodiscard]] std::optional<DayBounds> previousBounds(const DayBounds& bounds);

// One value per day of `bounds` (at most kFillCap): the sum of the points dated that day, 0 for
// days without points; points outside the window are dropped. Without usable bounds, the
// points' values as they come.
[[nodiscard]] std::vector<double> fill(const std::vector<DatedValue>& points,
                                       const std::optional<DayBounds>& bounds);

}  // namespace vx::refresh
