#include "views/active.hpp"

namespace vx::views {

bool isActive(const std::optional<PeriodMetrics>& metrics) {
  if (!metrics) return false;
  return metrics->visitors > 0 || (metrics->goal && metrics->goal->value > 0);
}

}  // namespace vx::views
