#include "widgets/draw_dates.hpp"

#include <memory>
#include <set>

#include <unicode/calendar.h>

namespace vx::widgets {
namespace {

using Milliseconds = std::chrono::duration<double, std::milli>;

UDate toUDate(Time at) {
  return std::chrono::floor<std::chrono::milliseconds>(at.time_since_epoch()).count();
}

Time fromUDate(UDate at) {
  return Time(std::chrono::duration_cast<Time::duration>(Milliseconds(at)));
}

// The day's start in UTC, for the unlikely case that ICU cannot make a calendar.
Time startOfUtcDay(Time at) {
  return std::chrono::floor<std::chrono::days>(at);
}

}  // namespace

Time startOfDay(Time at) {
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<icu::Calendar> calendar(icu::Calendar::createInstance(status));
  if (U_FAILURE(status) || !calendar) return startOfUtcDay(at);
  // A skipped midnight gives the first moment that exists; a repeated one its first occurrence.
  calendar->setSkippedWallTimeOption(UCAL_WALLTIME_NEXT_VALID);
  calendar->setRepeatedWallTimeOption(UCAL_WALLTIME_FIRST);
  calendar->setTime(toUDate(at), status);
  calendar->set(UCAL_HOUR_OF_DAY, 0);
  calendar->set(UCAL_MINUTE, 0);
  calendar->set(UCAL_SECOND, 0);
  calendar->set(UCAL_MILLISECOND, 0);
  const UDate start = calendar->getTime(status);
  if (U_FAILURE(status)) return startOfUtcDay(at);
  return fromUDate(start);
}

std::vector<Time> drawDates(Time realtimeUntil, Time now) {
  // 1. Plain addition of seconds, not calendar arithmetic.
  const Time midnight = clock::addSeconds(startOfDay(now), kDayLength);
  // 2. Equal dates collapse into one.
  const std::set<Time> candidates{realtimeUntil, midnight};
  // 3. and 4. Now first, then the later candidates in ascending order.
  std::vector<Time> dates{now};
  for (const Time candidate : candidates) {
    if (candidate > now) dates.push_back(candidate);
  }
  return dates;
}

}  // namespace vx::widgets
