#include "demo/analytics.hpp"

#include <cmath>

#include <nlohmann/json.hpp>

namespace vx::demo {
namespace {

using nlohmann::json;

// The periods of whole days before today, by the service's name.
struct PeriodDays {
  const char* code;
  int days;
};
constexpr PeriodDays kPeriods[] = {{"7d", 7}, {"28d", 28}, {"30d", 30}, {"90d", 90}};

double cents(double amount) {
  return std::round(amount * 100.0) / 100.0;
}

template <class PerDay>
auto total(const Window& window, PerDay perDay) {
  decltype(perDay(window.from)) sum{};
  for (Day day = window.from; day <= window.to; day += std::chrono::days(1)) sum += perDay(day);
  return sum;
}

std::int64_t visitorsIn(const Traffic& traffic, const Window& window) {
  return total(window, [&](Day day) { return traffic.visitors(day); });
}

std::int64_t conversionsIn(const Traffic& traffic, const Goal& goal, const Window& window) {
  return total(window, [&](Day day) { return traffic.conversions(goal, day); });
}

double revenueIn(const Traffic& traffic, const Goal& goal, const Sales& sales,
                 const Window& window) {
  return cents(total(window, [&](Day day) { return traffic.revenue(goal, sales, day); }));
}

std::optional<double> change(double current, double previous) {
  if (previous <= 0) return std::nullopt;
  // One decimal, as the service rounds it.
  return std::round((current - previous) / previous * 1000.0) / 10.0;
}

std::string dateOf(const Traffic& traffic, Day day) {
  if (traffic.form(day) == DayForm::midnightStamp) return stampText(Time(day));
  return dayText(day);
}

json moneyList(const Traffic& traffic, const Goal& goal, const Window& window) {
  json money = json::array();
  for (const Sales& sales : goal.sales) {
    money.push_back(
        {{"currency", sales.currency}, {"revenue", revenueIn(traffic, goal, sales, window)}});
  }
  return money;
}

json totals(const Traffic& traffic, const Goal& goal, const Window& window) {
  json out = {{"conversions", conversionsIn(traffic, goal, window)}};
  if (goal.takesMoney()) out["money"] = moneyList(traffic, goal, window);
  return out;
}

json goalSeries(const Traffic& traffic, const Goal& goal, const Window& window) {
  json series = json::array();
  for (Day day = window.from; day <= window.to; day += std::chrono::days(1)) {
    if (!traffic.reported(day)) continue;
    json point = {{"date", dateOf(traffic, day)}, {"conversions", traffic.conversions(goal, day)}};
    if (goal.takesMoney()) {
      double value = 0;
      for (const Sales& sales : goal.sales) value += traffic.revenue(goal, sales, day);
      point["value"] = cents(value);
    }
    series.push_back(std::move(point));
  }
  return series;
}

json goalResult(const Traffic& traffic, const Goal& goal, const Window& window, bool compare,
                bool withSeries) {
  json out = totals(traffic, goal, window);
  out["goal_id"] = goal.id;
  if (goal.name) out["name"] = *goal.name;
  out["kind"] = goal.kind;
  if (goal.valueMode) out["value_mode"] = *goal.valueMode;
  if (withSeries) out["series"] = goalSeries(traffic, goal, window);
  if (compare) out["previous"] = totals(traffic, goal, previousWindow(window));
  return out;
}

void appendVisitorPoints(const Traffic& traffic, Day day, json& points) {
  if (!traffic.reported(day)) {
    if (traffic.profile().style.nullMissing && day < traffic.today() &&
        traffic.profile().dailyVisitors > 0) {
      points.push_back({{"date", dayText(day)}, {"visitors", nullptr}});
    }
    return;
  }
  const std::int64_t visitors = traffic.visitors(day);
  if (traffic.form(day) != DayForm::split) {
    points.push_back({{"date", dateOf(traffic, day)}, {"visitors", visitors}});
    return;
  }
  const std::int64_t morning = visitors * 2 / 5;
  points.push_back({{"date", dayText(day)}, {"visitors", morning}});
  points.push_back(
      {{"date", stampText(Time(day) + std::chrono::hours(12))}, {"visitors", visitors - morning}});
}

}  // namespace

std::optional<Window> queryWindow(const std::string& period, Day today,
                                  const std::optional<std::string>& from,
                                  const std::optional<std::string>& to) {
  std::optional<Window> window;
  if (period == "today") {
    window = Window{today, today};
  } else if (period == "custom") {
    if (!from || !to) return std::nullopt;
    const auto first = parseDay(*from);
    const auto last = parseDay(*to);
    if (!first || !last) return std::nullopt;
    window = Window{*first, *last};
  } else {
    for (const auto& [code, days] : kPeriods) {
      if (period == code) {
        window = Window{today - std::chrono::days(days), today - std::chrono::days(1)};
      }
    }
  }
  if (!window || window->from > window->to || window->length() > kMaxWindowDays) {
    return std::nullopt;
  }
  return window;
}

Window previousWindow(const Window& window) {
  const std::chrono::days length(window.length());
  return Window{window.from - length, window.from - std::chrono::days(1)};
}

json summaryAnswer(const Traffic& traffic, const Window& window, bool compare) {
  const Profile& profile = traffic.profile();
  const std::int64_t visitors = visitorsIn(traffic, window);
  json out = {{"visitors", visitors}};
  if (compare) {
    const auto previous = visitorsIn(traffic, previousWindow(window));
    if (auto value = change(static_cast<double>(visitors), static_cast<double>(previous))) {
      out["visitors_change"] = *value;
    }
  }
  if (profile.revenueFrom) {
    const Goal& goal = profile.goals.at(*profile.revenueFrom);
    const Sales& main = goal.sales.front();
    out["revenue"] = revenueIn(traffic, goal, main, window);
    out["currency"] = main.currency;
  }
  out["business"] = profile.business ? goalResult(traffic, profile.goals.at(*profile.business),
                                                  window, compare, false)
                                     : json(nullptr);
  return out;
}

json timeseriesAnswer(const Traffic& traffic, const Window& window) {
  json points = json::array();
  for (Day day = window.from; day <= window.to; day += std::chrono::days(1)) {
    appendVisitorPoints(traffic, day, points);
  }
  return {{"data", std::move(points)}};
}

json businessReportAnswer(const Traffic& traffic, const Window& window, bool compare,
                          const std::optional<std::string>& goalId) {
  json goals = json::array();
  for (const Goal& goal : traffic.profile().goals) {
    const bool withSeries = !goalId || *goalId == goal.id;
    goals.push_back(goalResult(traffic, goal, window, compare, withSeries));
  }
  return {{"goals", std::move(goals)}};
}

json realtimeAnswer(const Traffic& traffic) {
  return {{"current_visitors", traffic.liveVisitors()}};
}

}  // namespace vx::demo
