#pragma once

// Day texts and whole-day arithmetic in the UTC Gregorian calendar, on ICU's millisecond instants.

#include <unicode/calendar.h>
#include <unicode/smpdtfmt.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vx::refresh {

// Prints and reads "yyyy-MM-dd" in UTC with the fixed POSIX locale, so day texts never depend on
// the user's settings. Reading is strict and must consume the whole text.
class DayFormatter {
 public:
  DayFormatter();

  [[nodiscard]] std::optional<UDate> parse(std::string_view day) const;
  [[nodiscard]] std::optional<std::string> print(UDate day) const;

 private:
  std::unique_ptr<icu::SimpleDateFormat> format_;
};

// Whole-day steps in the UTC Gregorian calendar.
class UtcDays {
 public:
  UtcDays();

  // Midnight UTC of the given calendar date (month 0-based, as ICU counts).
  [[nodiscard]] std::optional<UDate> midnight(int32_t extendedYear, int32_t month, int32_t day);
  [[nodiscard]] std::optional<UDate> add(UDate day, int32_t days);
  // Whole days from `from` to `to` (negative when `to` is earlier).
  [[nodiscard]] std::optional<int32_t> between(UDate from, UDate to);

 private:
  std::unique_ptr<icu::Calendar> calendar_;
};

}  // namespace vx::refresh
