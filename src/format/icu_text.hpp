#pragma once

// Small bridges between ICU's types and ours, shared by the formatters.

#include <unicode/locid.h>
#include <unicode/unistr.h>
#include <unicode/utypes.h>

#include <string>

#include "model/clock.hpp"

namespace vx::icu_text {

// The instant as ICU's milliseconds since 1970.
[[nodiscard]] UDate udate(Time at);

// The user's locale for dates and money: ICU's default, which follows LANG and LC_ALL. The
// POSIX locale ICU makes of an unset LANG or "C", and the root locale it makes of an empty one,
// mean the user chose none; then the widgets use "en_US" rather than POSIX's ungrouped numbers.
[[nodiscard]] icu::Locale userLocale();

// The text as UTF-8.
[[nodiscard]] std::string utf8(const icu::UnicodeString& text);

}  // namespace vx::icu_text
