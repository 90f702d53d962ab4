#include "refresh/day_text.hpp"

#include <unicode/gregocal.h>
#include <unicode/timezone.h>

#include "format/icu_text.hpp"

namespace vx::refresh {
namespace {

// ICU always knows UTC; should it not, the formatter keeps the default zone it was made with.
icu::TimeZone* utcZone() {
  icu::TimeZone* zone = icu::TimeZone::createTimeZone(icu::UnicodeString(u"UTC"));
  if (zone && *zone == icu::TimeZone::getUnknown()) {
    delete zone;
    return nullptr;
  }
  return zone;
}

}  // namespace

DayFormatter::DayFormatter() {
  UErrorCode status = U_ZERO_ERROR;
  auto format = std::make_unique<icu::SimpleDateFormat>(icu::UnicodeString(u"yyyy-MM-dd"),
                                                        icu::Locale("en_US_POSIX"), status);
  if (U_FAILURE(status)) return;
  if (icu::TimeZone* zone = utcZone()) format->adoptTimeZone(zone);
  format->setLenient(false);
  format_ = std::move(format);
}

std::optional<UDate> DayFormatter::parse(std::string_view day) const {
  if (!format_) return std::nullopt;
  const icu::UnicodeString text =
      icu::UnicodeString::fromUTF8(icu::StringPiece(day.data(), static_cast<int32_t>(day.size())));
  icu::ParsePosition position(0);
  const UDate parsed = format_->parse(text, position);
  if (position.getErrorIndex() >= 0 || position.getIndex() != text.length()) return std::nullopt;
  return parsed;
}

std::optional<std::string> DayFormatter::print(UDate day) const {
  if (!format_) return std::nullopt;
  icu::UnicodeString text;
  format_->format(day, text);
  if (text.isEmpty()) return std::nullopt;
  return icu_text::utf8(text);
}

UtcDays::UtcDays() {
  UErrorCode status = U_ZERO_ERROR;
  icu::TimeZone* zone = utcZone();
  if (!zone) zone = icu::TimeZone::getGMT()->clone();
  auto calendar = std::make_unique<icu::GregorianCalendar>(zone, status);
  if (U_SUCCESS(status)) calendar_ = std::move(calendar);
}

std::optional<UDate> UtcDays::midnight(int32_t extendedYear, int32_t month, int32_t day) {
  if (!calendar_) return std::nullopt;
  UErrorCode status = U_ZERO_ERROR;
  calendar_->clear();
  calendar_->set(UCAL_EXTENDED_YEAR, extendedYear);
  calendar_->set(UCAL_MONTH, month);
  calendar_->set(UCAL_DATE, day);
  const UDate at = calendar_->getTime(status);
  if (U_FAILURE(status)) return std::nullopt;
  return at;
}

std::optional<UDate> UtcDays::add(UDate day, int32_t days) {
  if (!calendar_) return std::nullopt;
  UErrorCode status = U_ZERO_ERROR;
  calendar_->setTime(day, status);
  calendar_->add(UCAL_DATE, days, status);
  const UDate at = calendar_->getTime(status);
  if (U_FAILURE(status)) return std::nullopt;
  return at;
}

std::optional<int32_t> UtcDays::between(UDate from, UDate to) {
  if (!calendar_) return std::nullopt;
  UErrorCode status = U_ZERO_ERROR;
  calendar_->setTime(from, status);
  const int32_t days = calendar_->fieldDifference(to, UCAL_DATE, status);
  if (U_FAILURE(status)) return std::nullopt;
  return days;
}

}  // namespace vx::refresh
