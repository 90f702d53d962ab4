#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace vx {

// The reporting period a widget shows. The declaration order is the index order of every
// table keyed by period.
enum class WidgetPeriod { days7, days28, days30, days90 };

inline constexpr std::array<WidgetPeriod, 4> kAllWidgetPeriods = {
    WidgetPeriod::days7, WidgetPeriod::days28, WidgetPeriod::days30, WidgetPeriod::days90};

// "days7", "days28", "days30", "days90": the key of a period's data in the snapshot.
[[nodiscard]] std::string_view rawValue(WidgetPeriod period);
[[nodiscard]] std::optional<WidgetPeriod> widgetPeriodFromRaw(std::string_view raw);

// Number of days the period covers: 7, 28, 30 or 90.
[[nodiscard]] int days(WidgetPeriod period);

// The service's name of the period: "7d", "28d", "30d", "90d".
[[nodiscard]] std::string_view queryToken(WidgetPeriod period);

}  // namespace vx
