#include "format/icu_text.hpp"

#include <string_view>

#include <chrono>

namespace vx::icu_text {

UDate udate(Time at) {
  return std::chrono::duration<double, std::milli>(at.time_since_epoch()).count();
}

std::string utf8(const icu::UnicodeString& text) {
  std::string out;
  text.toUTF8String(out);
  return out;
}

icu::Locale userLocale() {
  const icu::Locale& chosen = icu::Locale::getDefault();
  // A LANG that is set but empty leaves ICU with its root locale, whose dates read "M03 5":
  // that, too, is no choice of the user's.
  const std::string_view name = chosen.getName();
  if (name == "en_US_POSIX" || name.empty()) return icu::Locale("en_US");
  return chosen;
}

}  // namespace vx::icu_text
