#include "present/day_bars_layout.hpp"

#include <algorithm>
#include <cmath>

#include "present/chart_dots.hpp"
#include "present/chart_values.hpp"

namespace vx::present {

namespace {

constexpr double kMinBarWidth = 0.5;
constexpr double kMinBarHeight = 3;
constexpr double kMinTop = 4;

double gapFor(std::size_t n, double slot) {
  if (n < 15) return slot * 0.35;
  if (n <= 45) return 2;
  return 1;
}

// The mean of the previous period's days. Summing huge values could overflow to infinity; the
// mean of the shares cannot.
double mean(const std::vector<double>& values) {
  if (values.empty()) return 0;
  const auto n = static_cast<double>(values.size());
  double sum = 0;
  for (double v : values) sum += v;
  if (std::isfinite(sum)) return sum / n;
  double share = 0;
  for (double v : values) share += v / n;
  return share;
}

std::optional<double> previousAverage(bool dots, std::size_t n,
                                      const std::optional<std::vector<double>>& previous) {
  if (dots || !previous || previous->size() != n) return std::nullopt;
  return mean(chartValues(*previous));
}

}  // namespace

double DayBarsLayout::barX(std::size_t day) const {
  return static_cast<double>(day) * slot + gap / 2;
}

double DayBarsLayout::barWidth() const {
  return std::max(slot - gap, kMinBarWidth);
}

double DayBarsLayout::barHeight(double value, double height) const {
  return std::max(value / top * height, kMinBarHeight);
}

double DayBarsLayout::levelY(double value, double height) const {
  return height * (1 - value / top);
}

DayBarsLayout layoutDayBars(const std::vector<double>& values,
                            const std::optional<std::vector<double>>& previous, double width) {
  const std::vector<double> v = chartValues(values);
  DayBarsLayout l;
  // 1. One slot per day across the width.
  l.count = v.size();
  l.slot = width / static_cast<double>(std::max<std::size_t>(l.count, 1));
  // 2. Wide gaps for a week, thin ones for a month or a quarter.
  l.gap = gapFor(l.count, l.slot);
  // 3. (bar rectangles: barX, barWidth, barHeight)
  // 4. Few small whole numbers are drawn as dots.
  l.dots = countsAsDots(v);
  // 5. The previous period's average, comparable only day for day.
  l.average = previousAverage(l.dots, l.count, previous);
  // 6. The scale: at least 4, so that a week of ones does not fill the frame.
  l.top = std::max({kMinTop, largestOr(v, kMinTop), l.average.value_or(kMinTop)});
  return l;
}

}  // namespace vx::present
