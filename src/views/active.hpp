#pragma once

#include <optional>

#include "model/snapshot.hpp"

namespace vx::views {

// A period counts as active when its figures are there and show visitors, or a goal result
// above 0.
[[nodiscard]] bool isActive(const std::optional<PeriodMetrics>& metrics);

}  // namespace vx::views
