#include "refresh/today_display.hpp"

#include "format/format_count.hpp"
#include "refresh/goal_figure.hpp"

namespace vx::refresh {

std::optional<std::string> todayDisplay(const api::Summary& summary) {
  // 1. The goal's figure when the project has one.
  if (summary.business) {
    const GoalFigure figure = goalFigure(*summary.business, std::nullopt);
    if (figure.value > 0) return "+" + figure.display + " today";
    return std::nullopt;
  }
  // 2. Otherwise the visitors.
  const std::int64_t visitors = summary.visitors.value_or(0);
  if (visitors > 0) return "+" + formatCount(visitors) + " today";
  return std::nullopt;
}

}  // namespace vx::refresh
