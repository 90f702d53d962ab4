#pragma once

// The analytics answers: period summaries, daily series, goal reports and the live count, all
// computed from the same daily figures (traffic.hpp), so that a summary is the sum of its
// series and a change is measured against the previous window's series.

#include <optional>
#include <string>

#include <nlohmann/json_fwd.hpp>

#include "demo/calendar.hpp"
#include "demo/traffic.hpp"

namespace vx::demo {

// A run of whole days, both ends included.
struct Window {
  Day from;
  Day to;

  [[nodiscard]] long long length() const { return (to - from).count() + 1; }
  friend bool operator==(const Window&, const Window&) = default;
};

// The longest custom range the service answers.
inline constexpr long long kMaxWindowDays = 400;

// The days a query asks about: "7d", "28d", "30d" and "90d" are that many whole days before
// `today`; "today" is today alone; "custom" takes `from` and `to` ("yyyy-MM-dd"). Nothing for
// an unknown period, an unreadable or reversed range, or one longer than kMaxWindowDays.
[[nodiscard]] std::optional<Window> queryWindow(const std::string& period, Day today,
                                                const std::optional<std::string>& from,
                                                const std::optional<std::string>& to);

// The window of the same length that ends the day before `window` starts.
[[nodiscard]] Window previousWindow(const Window& window);

[[nodiscard]] nlohmann::json summaryAnswer(const Traffic& traffic, const Window& window,
                                           bool compare);
[[nodiscard]] nlohmann::json timeseriesAnswer(const Traffic& traffic, const Window& window);
// Every goal of the project with its totals; the series of the goal named by `goalId` (of
// every goal when none is named); the previous window's totals when `compare`.
[[nodiscard]] nlohmann::json businessReportAnswer(const Traffic& traffic, const Window& window,
                                                  bool compare,
                                                  const std::optional<std::string>& goalId);
[[nodiscard]] nlohmann::json realtimeAnswer(const Traffic& traffic);

}  // namespace vx::demo
