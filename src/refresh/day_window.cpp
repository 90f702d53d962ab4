#include "refresh/day_window.hpp"

#include <unicode/gregocal.h>
#include <unicode/timezone.h>

#include <map>
#include <memory>

#include "format/icu_text.hpp"
#include "model/clock.hpp"
#include "refresh/day_text.hpp"

namespace vx::refresh {
namespace {

// The IANA zone by name; UTC when the name is absent or names no zone ICU knows.
std::unique_ptr<icu::TimeZone> projectZone(const std::optional<std::string>& name) {
  if (name) {
    std::unique_ptr<icu::TimeZone> zone(
        icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(*name)));
    if (zone && *zone != icu::TimeZone::getUnknown()) return zone;
  }
  return std::unique_ptr<icu::TimeZone>(icu::TimeZone::createTimeZone(icu::UnicodeString(u"UTC")));
}

struct CalendarDate {
  int32_t extendedYear;
  int32_t month;
  int32_t day;
};

std::optional<CalendarDate> todayIn(std::unique_ptr<icu::TimeZone> zone) {
  UErrorCode status = U_ZERO_ERROR;
  icu::GregorianCalendar calendar(zone.release(), status);
  calendar.setTime(icu_text::udate(clock::now()), status);
  CalendarDate today{calendar.get(UCAL_EXTENDED_YEAR, status), calendar.get(UCAL_MONTH, status),
                     calendar.get(UCAL_DATE, status)};
  if (U_FAILURE(status)) return std::nullopt;
  return today;
}

std::optional<DayBounds> printed(const DayFormatter& days, std::optional<UDate> from,
                                 std::optional<UDate> to) {
  if (!from || !to) return std::nullopt;
  std::optional<std::string> fromText = days.print(*from);
  std::optional<std::string> toText = days.print(*to);
  if (!fromText || !toText) return std::nullopt;
  return DayBounds{*fromText, *toText};
}

std::vector<double> valuesOf(const std::vector<DatedValue>& points) {
  std::vector<double> values;
  values.reserve(points.size());
  for (const DatedValue& point : points) values.push_back(point.value);
  return values;
}

// Sums the points per day. A date with a time part lands on its date part; dates are matched as
// texts, without any time-zone conversion.
std::map<std::string, double, std::less<>> totalsByDay(const std::vector<DatedValue>& points) {
  std::map<std::string, double, std::less<>> totals;
  for (const DatedValue& point : points) totals[point.date.substr(0, 10)] += point.value;
  return totals;
}

// Day texts and UTC days are worked out with formatters and calendars that take far longer to
// make than to use, and a refresh reads and prints hundreds of days on each project's thread:
// each thread makes its own once.
const DayFormatter& threadDayFormatter() {
  thread_local const DayFormatter formatter;
  return formatter;
}

UtcDays& threadUtcDays() {
  thread_local UtcDays days;
  return days;
}

}  // namespace

std::optional<DayBounds> dayBounds(WidgetPeriod period,
                                   const std::optional<std::string>& timeZone) {
  // 1. The project's zone.
  std::unique_ptr<icu::TimeZone> zone = projectZone(timeZone);
  if (!zone) return std::nullopt;
  // 2. Today's calendar date there.
  std::optional<CalendarDate> today = todayIn(std::move(zone));
  if (!today) return std::nullopt;
  // 3. That date at midnight UTC.
  UtcDays& utc = threadUtcDays();
  std::optional<UDate> midnight = utc.midnight(today->extendedYear, today->month, today->day);
  if (!midnight) return std::nullopt;
  // 4. The N days before it.
  std::optional<UDate> start = utc.add(*midnight, -days(period));
  std::optional<UDate> end = utc.add(*midnight, -1);
  // 5. As day texts.
  return printed(threadDayFormatter(), start, end);
}

std::optional<DayBounds> previousBounds(const DayBounds& bounds) {
  // 1. Read both days.
  const DayFormatter& dayFormatter = threadDayFormatter();
  std::optional<UDate> from = dayFormatter.parse(bounds.from);
  std::optional<UDate> to = dayFormatter.parse(bounds.to);
  if (!from || !to) return std::nullopt;
  // 2. The window's length.
  UtcDays& utc = threadUtcDays();
  std::optional<int32_t> n = utc.between(*from, *to);
  if (!n) return std::nullopt;
  const int32_t length = *n + 1;
  // 3. As many days ending the day before.
  std::optional<UDate> start = utc.add(*from, -length);
  std::optional<UDate> end = utc.add(*from, -1);
  // 4. As day texts.
  return printed(dayFormatter, start, end);
}

std::vector<double> fill(const std::vector<DatedValue>& points,
                         const std::optional<DayBounds>& bounds) {
  // 1. No window: the values as they come.
  if (!bounds) return valuesOf(points);
  // 2. Totals per day.
  const auto totals = totalsByDay(points);
  // 3. The window's first and last day.
  const DayFormatter& dayFormatter = threadDayFormatter();
  std::optional<UDate> from = dayFormatter.parse(bounds->from);
  std::optional<UDate> to = dayFormatter.parse(bounds->to);
  if (!from || !to) return valuesOf(points);
  // 4. One value per day, capped.
  UtcDays& utc = threadUtcDays();
  std::vector<double> result;
  std::optional<UDate> day = from;
  while (day && *day <= *to) {
    if (result.size() >= kFillCap) break;
    std::optional<std::string> text = dayFormatter.print(*day);
    auto found = text ? totals.find(*text) : totals.end();
    result.push_back(found == totals.end() ? 0.0 : found->second);
    day = utc.add(*day, 1);
  }
  // 5. The values in day order.
  return result;
}

}  // namespace vx::refresh
