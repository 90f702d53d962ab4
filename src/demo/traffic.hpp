#pragma once

// A project's daily figures, derived from the project and the date alone, so that every answer
// about a day agrees with every other answer about it for as long as that day is the same day.
// Today's figures grow with the share of the day already gone; later days have nothing yet.

#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include "demo/calendar.hpp"
#include "demo/catalogue.hpp"

namespace vx::demo {

// How a reported day is written in the service's series.
enum class DayForm {
  plain,          // "2026-03-05"
  midnightStamp,  // "2026-03-05T00:00:00Z"
  split,          // two points, "2026-03-05" and "2026-03-05T12:00:00Z", that add up
};

// One answer's view of the figures: an answer asks for the same day many times (a total, the
// previous period's, every goal's conversions and money, each built on the day's visitors), and
// every figure costs a freshly seeded engine, so each is worked out once and kept. Not to be
// shared between threads.
class Traffic {
 public:
  // `now` places today in the project's time zone.
  Traffic(const Profile& profile, LocalMoment now);

  [[nodiscard]] const Profile& profile() const { return profile_; }
  [[nodiscard]] Day today() const { return now_.day; }
  [[nodiscard]] double todayFraction() const { return now_.dayFraction; }

  // Whether the service has data for the day (days it lost, days before the project existed
  // and days still to come have none).
  [[nodiscard]] bool reported(Day day) const;
  [[nodiscard]] DayForm form(Day day) const;

  // Figures of one day; 0 on days without data.
  [[nodiscard]] std::int64_t visitors(Day day) const;
  [[nodiscard]] std::int64_t conversions(const Goal& goal, Day day) const;
  // Money taken in one of the goal's currencies, in whole cents' precision.
  [[nodiscard]] double revenue(const Goal& goal, const Sales& sales, Day day) const;

  // Visitors on the site right now.
  [[nodiscard]] std::int64_t liveVisitors() const;

 private:
  [[nodiscard]] std::string key(const char* what, Day day) const;
  [[nodiscard]] bool drawReported(Day day) const;
  [[nodiscard]] std::int64_t drawVisitors(Day day) const;
  [[nodiscard]] std::int64_t drawConversions(const Goal& goal, Day day) const;

  const Profile& profile_;
  LocalMoment now_;
  mutable std::map<Day, bool> reported_;
  mutable std::map<Day, std::int64_t> visitors_;
  mutable std::map<std::pair<std::string, Day>, std::int64_t> conversions_;
};

}  // namespace vx::demo
