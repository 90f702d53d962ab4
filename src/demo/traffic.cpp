#include "demo/traffic.hpp"

#include <cmath>
#include <numbers>
#include <string>

#include "demo/dice.hpp"

namespace vx::demo {
namespace {

// Fewer visitors at weekends, and a slow swing over the year.
double seasonFactor(Day day) {
  const std::chrono::weekday weekday(day);
  const double week =
      (weekday == std::chrono::Saturday || weekday == std::chrono::Sunday) ? 0.72 : 1.0;
  const auto dayNumber = static_cast<double>(day.time_since_epoch().count() % 365);
  return week * (1.0 + 0.12 * std::sin(2 * std::numbers::pi * dayNumber / 365.0));
}

double cents(double amount) {
  return std::round(amount * 100.0) / 100.0;
}

// The figure kept under `key`, worked out by `draw` the first time it is asked for.
template <class Map, class Draw>
auto kept(Map& figures, const typename Map::key_type& key, Draw draw) {
  auto found = figures.find(key);
  if (found == figures.end()) found = figures.emplace(key, draw()).first;
  return found->second;
}

}  // namespace

Traffic::Traffic(const Profile& profile, LocalMoment now) : profile_(profile), now_(now) {}

std::string Traffic::key(const char* what, Day day) const {
  return std::string(what) + "|" + profile_.slug + "|" +
         std::to_string(day.time_since_epoch().count());
}

bool Traffic::reported(Day day) const {
  return kept(reported_, day, [&] { return drawReported(day); });
}

std::int64_t Traffic::visitors(Day day) const {
  return kept(visitors_, day, [&] { return drawVisitors(day); });
}

std::int64_t Traffic::conversions(const Goal& goal, Day day) const {
  return kept(conversions_, {goal.id, day}, [&] { return drawConversions(goal, day); });
}

bool Traffic::drawReported(Day day) const {
  if (profile_.dailyVisitors <= 0 || day > now_.day) return false;
  if (profile_.launchedDaysAgo > 0 &&
      day < now_.day - std::chrono::days(profile_.launchedDaysAgo)) {
    return false;
  }
  // Today is always being counted; only past days can be lost.
  if (day == now_.day || profile_.style.missingOneIn <= 0) return true;
  Dice dice(key("missing", day));
  return dice.below(static_cast<std::uint32_t>(profile_.style.missingOneIn)) != 0;
}

DayForm Traffic::form(Day day) const {
  Dice dice(key("form", day));
  if (profile_.style.splitDays && dice.below(4) == 0) return DayForm::split;
  if (profile_.style.timeParts && dice.below(3) == 0) return DayForm::midnightStamp;
  return DayForm::plain;
}

std::int64_t Traffic::drawVisitors(Day day) const {
  if (!reported(day)) return 0;
  Dice dice(key("visitors", day));
  double value = profile_.dailyVisitors * seasonFactor(day) * (0.8 + 0.4 * dice.unit());
  if (day == now_.day) value *= now_.dayFraction;
  return static_cast<std::int64_t>(std::llround(value));
}

std::int64_t Traffic::drawConversions(const Goal& goal, Day day) const {
  const std::int64_t people = visitors(day);
  if (people == 0) return 0;
  Dice dice(key(("conversions:" + goal.id).c_str(), day));
  const double value = static_cast<double>(people) * goal.rate * (0.6 + 0.8 * dice.unit());
  return static_cast<std::int64_t>(std::llround(value));
}

double Traffic::revenue(const Goal& goal, const Sales& sales, Day day) const {
  const std::int64_t orders = conversions(goal, day);
  if (orders == 0) return 0;
  Dice dice(key(("revenue:" + goal.id + ":" + sales.currency).c_str(), day));
  return cents(static_cast<double>(orders) * sales.share * sales.averageOrder *
               (0.7 + 0.6 * dice.unit()));
}

std::int64_t Traffic::liveVisitors() const {
  if (profile_.dailyVisitors <= 0) return 0;
  // About four minutes on the site per visit, busier in the local afternoon and quiet at night.
  const double hour = now_.dayFraction * 24.0;
  const double daytime = std::max(0.0, std::sin(std::numbers::pi * (hour - 6.0) / 17.0));
  Dice dice(key(("live:" + std::to_string(static_cast<int>(hour))).c_str(), now_.day));
  const double perMinute = profile_.dailyVisitors / 1440.0;
  const double value = perMinute * 4.0 * (0.2 + 1.6 * daytime) * (0.6 + 0.8 * dice.unit());
  return static_cast<std::int64_t>(std::llround(value));
}

}  // namespace vx::demo
