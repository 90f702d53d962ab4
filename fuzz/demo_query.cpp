// The demo service's reading of what clients send: the period, "from" and "to" of an analytics
// query (one a line), a time stamp, and the body of a push token report.

#include <chrono>
#include <string>

#include "demo/analytics.hpp"
#include "demo/calendar.hpp"
#include "demo/push_tokens.hpp"
#include "harness.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vx::demo;
  std::string_view rest = vx::fuzz::text(data, size);
  const std::string period(vx::fuzz::nextLine(rest));
  const std::string from(vx::fuzz::nextLine(rest));
  const std::string to(vx::fuzz::nextLine(rest));
  const Day today{std::chrono::days(20517)};
  if (const auto window = queryWindow(period, today, from, to)) {
    vx::fuzz::require(window->from <= window->to && window->length() <= kMaxWindowDays,
                      "a window runs forward and is bounded");
    (void)previousWindow(*window);
  }
  (void)parseStamp(from);
  (void)PushTokens::parseReport(std::string(rest));
  return 0;
}
