#include "demo/calendar.hpp"

#include <cmath>
#include <memory>
#include <optional>

#include <unicode/gregocal.h>
#include <unicode/locid.h>
#include <unicode/parsepos.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

namespace vx::demo {
namespace {

constexpr double kMillisPerDay = 86'400'000.0;

UDate toUDate(Time at) {
  return std::chrono::duration<double, std::milli>(at.time_since_epoch()).count();
}

// Nothing when the instant lies outside the clock's range (ICU reads years far beyond it).
std::optional<Time> fromUDate(UDate millis) {
  using Milliseconds = std::chrono::duration<double, std::milli>;
  constexpr double limit = std::chrono::duration_cast<Milliseconds>(Time::duration::max()).count();
  if (!std::isfinite(millis) || std::fabs(millis) >= limit) return std::nullopt;
  // ICU's instants are whole milliseconds; taken as integers they stay exact in microseconds.
  return Time(
      std::chrono::duration_cast<Time::duration>(std::chrono::milliseconds(std::llround(millis))));
}

// A formatter for one fixed pattern in the POSIX locale, made once per thread (ICU formatters
// are not safe to share between threads).
std::unique_ptr<icu::SimpleDateFormat> makeFormat(const char* pattern, const char* zone) {
  UErrorCode status = U_ZERO_ERROR;
  auto format = std::make_unique<icu::SimpleDateFormat>(icu::UnicodeString(pattern, -1, US_INV),
                                                        icu::Locale("en_US_POSIX"), status);
  if (U_FAILURE(status)) return nullptr;
  auto calendar = std::make_unique<icu::GregorianCalendar>(
      icu::TimeZone::createTimeZone(icu::UnicodeString(zone, -1, US_INV)),
      icu::Locale("en_US_POSIX"), status);
  // ISO 8601 dates are proleptic Gregorian: no Julian calendar before 1582.
  calendar->setGregorianChange(U_DATE_MIN, status);
  if (U_FAILURE(status)) return nullptr;
  format->adoptCalendar(calendar.release());
  format->setLenient(false);
  return format;
}

icu::SimpleDateFormat* dayFormat() {
  thread_local auto format = makeFormat("yyyy-MM-dd", "UTC");
  return format.get();
}

icu::SimpleDateFormat* stampFormat(StampForm form) {
  thread_local auto utc = makeFormat("yyyy-MM-dd'T'HH:mm:ss'Z'", "UTC");
  thread_local auto fraction = makeFormat("yyyy-MM-dd'T'HH:mm:ss.SSS'Z'", "UTC");
  thread_local auto offset = makeFormat("yyyy-MM-dd'T'HH:mm:ssxxx", "GMT+01:00");
  switch (form) {
    case StampForm::utc:
      return utc.get();
    case StampForm::utcFraction:
      return fraction.get();
    case StampForm::offsetHours1:
      return offset.get();
  }
  return utc.get();
}

std::string print(icu::SimpleDateFormat* format, UDate at) {
  if (format == nullptr) return {};
  icu::UnicodeString text;
  format->format(at, text);
  std::string out;
  text.toUTF8String(out);
  return out;
}

// Parses the whole of `text` with `format`; nothing when any of it is left over.
std::optional<UDate> parseWhole(icu::SimpleDateFormat* format, std::string_view text) {
  if (format == nullptr) return std::nullopt;
  const auto unicode = icu::UnicodeString::fromUTF8(
      icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
  icu::ParsePosition position(0);
  const UDate at = format->parse(unicode, position);
  if (position.getErrorIndex() >= 0 || position.getIndex() != unicode.length()) {
    return std::nullopt;
  }
  return at;
}

}  // namespace

std::string dayText(Day day) {
  const auto millis = std::chrono::duration<double, std::milli>(day.time_since_epoch()).count();
  return print(dayFormat(), millis);
}

std::optional<Day> parseDay(std::string_view text) {
  const auto at = parseWhole(dayFormat(), text);
  if (!at) return std::nullopt;
  return Day(std::chrono::days(static_cast<std::int64_t>(std::floor(*at / kMillisPerDay))));
}

LocalMoment localMoment(const std::optional<std::string>& timeZone, Time at) {
  std::unique_ptr<icu::TimeZone> zone;
  if (timeZone) {
    zone.reset(icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(*timeZone)));
  }
  if (!zone || *zone == icu::TimeZone::getUnknown()) {
    zone.reset(icu::TimeZone::createTimeZone(icu::UnicodeString("UTC", -1, US_INV)));
  }
  const UDate utc = toUDate(at);
  int32_t raw = 0;
  int32_t dst = 0;
  UErrorCode status = U_ZERO_ERROR;
  zone->getOffset(utc, false, raw, dst, status);
  const double local = U_SUCCESS(status) ? utc + raw + dst : utc;
  const double days = std::floor(local / kMillisPerDay);
  return LocalMoment{Day(std::chrono::days(static_cast<std::int64_t>(days))),
                     (local - days * kMillisPerDay) / kMillisPerDay};
}

std::string stampText(Time at, StampForm form) {
  return print(stampFormat(form), toUDate(at));
}

std::optional<Time> parseStamp(std::string_view text) {
  // ICU's reader divides by a power of ten as long as the fraction, which wraps to zero from 32
  // digits on (a division by zero); the demo's stamps carry at most milliseconds.
  if (const auto dot = text.find('.'); dot != std::string_view::npos) {
    const auto end = text.find_first_not_of("0123456789", dot + 1);
    if ((end == std::string_view::npos ? text.size() : end) - (dot + 1) > 9) return std::nullopt;
  }
  thread_local auto plain = makeFormat("yyyy-MM-dd'T'HH:mm:ssXXX", "UTC");
  thread_local auto fraction = makeFormat("yyyy-MM-dd'T'HH:mm:ss.SSSXXX", "UTC");
  if (auto at = parseWhole(plain.get(), text)) return fromUDate(*at);
  if (auto at = parseWhole(fraction.get(), text)) return fromUDate(*at);
  return std::nullopt;
}

}  // namespace vx::demo
