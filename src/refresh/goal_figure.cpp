#include "refresh/goal_figure.hpp"

#include "format/format_count.hpp"
#include "refresh/money.hpp"

namespace vx::refresh {
namespace {

using Money = api::GoalResult::Money;

bool isMoneyGoal(const api::GoalResult& goal) {
  return goal.kind == "sales" && goal.value_mode == "revenue";
}

// (current − previous) / previous as a percentage; nothing unless previous is above 0.
std::optional<double> changeAgainst(double current, std::optional<double> previous) {
  if (!previous || !(*previous > 0)) return std::nullopt;
  return (current - *previous) / *previous * 100.0;
}

// Only a single amount compares with a single previous amount in the same currency.
std::optional<double> moneyChange(const std::vector<Money>& money, double value,
                                  const std::optional<api::GoalResult::Totals>& previous) {
  if (money.size() != 1 || !previous || !previous->money || previous->money->size() != 1) {
    return std::nullopt;
  }
  const Money& before = previous->money->front();
  if (before.currency != money.front().currency) return std::nullopt;
  return changeAgainst(value, before.revenue);
}

template <class Value>
std::optional<std::vector<double>> seriesOf(const api::GoalResult& goal,
                                            const std::optional<DayBounds>& days, Value value) {
  if (!days) return std::nullopt;
  std::vector<DatedValue> points;
  if (goal.series) {
    for (const api::GoalResult::Point& point : *goal.series) {
      points.push_back({point.date, value(point)});
    }
  }
  return fill(points, days);
}

GoalFigure moneyGoal(const api::GoalResult& goal, const std::optional<DayBounds>& days) {
  GoalFigure figure;
  // 1. The name.
  figure.name = "Revenue";
  // 2. The amounts taken.
  const std::vector<Money> money = goal.money.value_or(std::vector<Money>{});
  if (money.empty()) {
    // 3. Nothing taken: zero, without a currency.
    figure.value = 0;
    figure.display = formatMoney(0, std::nullopt);
  } else {
    // 4. One amount per currency.
    for (const Money& amount : money) {
      figure.value += amount.revenue.value_or(0);
      if (!figure.display.empty()) figure.display += " / ";
      figure.display += formatMoney(amount.revenue.value_or(0), amount.currency);
    }
    // 5. The change against the previous period.
    figure.change = moneyChange(money, figure.value, goal.previous);
  }
  // 6. The daily amounts.
  figure.series = seriesOf(
      goal, days, [](const api::GoalResult::Point& point) { return point.value.value_or(0); });
  return figure;
}

GoalFigure conversionsGoal(const api::GoalResult& goal, const std::optional<DayBounds>& days) {
  GoalFigure figure;
  // 1. The name.
  figure.name = goal.name.value_or("Goal");
  // 2. The conversions.
  const std::int64_t conversions = goal.conversions.value_or(0);
  figure.value = static_cast<double>(conversions);
  figure.display = formatCount(conversions);
  // 3. The change against the previous period.
  if (goal.previous && goal.previous->conversions) {
    figure.change = changeAgainst(figure.value, static_cast<double>(*goal.previous->conversions));
  }
  // 4. The daily conversions.
  figure.series = seriesOf(goal, days, [](const api::GoalResult::Point& point) {
    return static_cast<double>(point.conversions.value_or(0));
  });
  return figure;
}

}  // namespace

GoalFigure goalFigure(const api::GoalResult& goal, const std::optional<DayBounds>& days) {
  return isMoneyGoal(goal) ? moneyGoal(goal, days) : conversionsGoal(goal, days);
}

}  // namespace vx::refresh
