#include "format/period_meta.hpp"

#include <unicode/calendar.h>
#include <unicode/datefmt.h>
#include <unicode/dtptngen.h>
#include <unicode/smpdtfmt.h>

#include <memory>
#include <optional>

#include "format/icu_text.hpp"

namespace vx {
namespace {

// Data no older than this shows the label alone.
constexpr double kStampAfterSeconds = 3600;

std::string label(WidgetPeriod period, bool shortLabel) {
  return std::to_string(days(period)) + (shortLabel ? "d" : " days");
}

// Whether both instants fall on the same day of the user's calendar in the user's time zone.
// The local Julian day numbers days the same way in every calendar system.
std::optional<bool> sameDay(Time a, Time b) {
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<icu::Calendar> calendar(icu::Calendar::createInstance(status));
  if (U_FAILURE(status) || !calendar) return std::nullopt;
  calendar->setTime(icu_text::udate(a), status);
  const int32_t dayOfA = calendar->get(UCAL_JULIAN_DAY, status);
  calendar->setTime(icu_text::udate(b), status);
  const int32_t dayOfB = calendar->get(UCAL_JULIAN_DAY, status);
  if (U_FAILURE(status)) return std::nullopt;
  return dayOfA == dayOfB;
}

// The time of day, short form without seconds ("14:05", "2:05 PM").
std::unique_ptr<icu::DateFormat> timeFormat() {
  return std::unique_ptr<icu::DateFormat>(
      icu::DateFormat::createTimeInstance(icu::DateFormat::kShort, icu_text::userLocale()));
}

// Day of month and abbreviated month in the locale's order ("5 Mar", "Mar 5").
std::unique_ptr<icu::DateFormat> dayMonthFormat() {
  UErrorCode status = U_ZERO_ERROR;
  const icu::Locale locale = icu_text::userLocale();
  std::unique_ptr<icu::DateTimePatternGenerator> generator(
      icu::DateTimePatternGenerator::createInstance(locale, status));
  if (U_FAILURE(status) || !generator) return nullptr;
  icu::UnicodeString pattern = generator->getBestPattern(icu::UnicodeString(u"dMMM"), status);
  if (U_FAILURE(status)) return nullptr;
  auto format = std::make_unique<icu::SimpleDateFormat>(pattern, locale, status);
  if (U_FAILURE(status)) return nullptr;
  return format;
}

std::optional<std::string> stamp(Time updatedAt, Time now) {
  std::optional<bool> today = sameDay(updatedAt, now);
  if (!today) return std::nullopt;
  std::unique_ptr<icu::DateFormat> format = *today ? timeFormat() : dayMonthFormat();
  if (!format) return std::nullopt;
  icu::UnicodeString text;
  format->format(icu_text::udate(updatedAt), text);
  if (text.isEmpty()) return std::nullopt;
  return icu_text::utf8(text);
}

}  // namespace

std::string periodMeta(WidgetPeriod period, Time updatedAt, Time now, bool shortLabel) {
  std::string text = label(period, shortLabel);
  if (clock::secondsBetween(updatedAt, now) <= kStampAfterSeconds) return text;
  // Without a usable calendar or formatter the label stands alone rather than with a wrong stamp.
  if (std::optional<std::string> when = stamp(updatedAt, now)) text += " \u00B7 " + *when;
  return text;
}

}  // namespace vx
