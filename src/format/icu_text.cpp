#include "format/icu_text.hpp"

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

}  // namespace vx::icu_text
