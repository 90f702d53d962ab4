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
  if (std::string_view(chosen.getName()) == "en_US_POSIX") return icu::Locale("en_US");
  return chosen;
}

}  // namespace vx::icu_text
