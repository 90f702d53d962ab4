#pragma once

#include <array>
#include <concepts>
#include <optional>
#include <string_view>

namespace vx::widgets {

// Anything a configuration can hold as its period: all a reader needs of it is its raw value
// (found through `rawValue(choice)`), which it turns into a `WidgetPeriod`.
template <class Choice>
concept PeriodChoice = requires(const Choice& choice) {
  { rawValue(choice) } -> std::convertible_to<std::string_view>;
};

// The period a user picks for a widget. Its raw values are those of `WidgetPeriod`.
enum class PeriodOption { days7, days28, days30, days90 };

inline constexpr std::array<PeriodOption, 4> kAllPeriodOptions = {
    PeriodOption::days7, PeriodOption::days28, PeriodOption::days30, PeriodOption::days90};

// How the editing panel names the type of the choice.
inline constexpr std::string_view kPeriodOptionTypeName = "Period";

// "days7", "days28", "days30", "days90".
[[nodiscard]] std::string_view rawValue(PeriodOption option);
// Nothing for any text but the four raw values (an empty text included).
[[nodiscard]] std::optional<PeriodOption> periodOptionFromRaw(std::string_view raw);

// "7 days", "28 days", "30 days", "90 days".
[[nodiscard]] std::string_view label(PeriodOption option);

static_assert(PeriodChoice<PeriodOption>);

}  // namespace vx::widgets
