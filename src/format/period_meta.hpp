#pragma once

#include <string>

#include "model/clock.hpp"
#include "model/widget_period.hpp"

namespace vx {

// A widget's period label ("7d" when `shortLabel`, else "7 days"), followed by " · " and the
// time of the last update ("14:05") or, when that was on an earlier day, its day and month
// ("5 Mar") once the data is more than an hour old. The stamp follows the user's locale,
// calendar and time zone (ICU's defaults).
[[nodiscard]] std::string periodMeta(WidgetPeriod period, Time updatedAt, Time now,
                                     bool shortLabel);

}  // namespace vx
