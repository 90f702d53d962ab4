#pragma once

#include <optional>

#include "api/records.hpp"
#include "model/snapshot.hpp"
#include "refresh/day_window.hpp"

namespace vx::refresh {

// Condenses the service's goal result into what the widgets show. A "sales" goal valued by
// "revenue" is a money goal called "Revenue" (amounts per currency, joined by " / "); every
// other goal counts conversions. The change against the previous period is a percentage and
// only given when it is meaningful. `series` is filled over `days` when given; `previousSeries`
// is always left empty here.
[[nodiscard]] GoalFigure goalFigure(const api::GoalResult& goal,
                                    const std::optional<DayBounds>& days);

}  // namespace vx::refresh
