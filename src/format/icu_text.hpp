#pragma once

// Small bridges between ICU's types and ours, shared by the formatters.

#include <unicode/unistr.h>
#include <unicode/utypes.h>

#include <string>

#include "model/clock.hpp"

namespace vx::icu_text {

// The instant as ICU's milliseconds since 1970.
[[nodiscard]] UDate udate(Time at);

// The text as UTF-8.
[[nodiscard]] std::string utf8(const icu::UnicodeString& text);

}  // namespace vx::icu_text
