#pragma once

#include <cstddef>
#include <optional>
#include <vector>

namespace vx::present {

// Where a daily bar chart puts its days across a frame, and how tall a bar is. Pure arithmetic:
// DayBars turns it into shapes.
struct DayBarsLayout {
  std::size_t count = 0;  // days
  double slot = 0;        // the width each day owns
  double gap = 0;         // the empty part of a slot, half on each side of its bar
  bool dots = false;      // stacked dots instead of bars
  // The previous period's daily average, when it can be compared (bars over as many days).
  std::optional<double> average;
  double top = 4;  // the value drawn at the frame's full height

  [[nodiscard]] bool showsAverage() const { return average && *average > 0; }
  [[nodiscard]] double barX(std::size_t day) const;
  [[nodiscard]] double barWidth() const;
  // The height of the bar for a value above 0 in a frame `height` high; never below 3 points,
  // so that a small day next to a large one stays visible.
  [[nodiscard]] double barHeight(double value, double height) const;
  // The y of a value on the frame's scale (0 on the bottom edge).
  [[nodiscard]] double levelY(double value, double height) const;
};

// Lays out `values` (one per day) across `width`; `previous` is the previous period's days.
// Non-finite values count as 0.
[[nodiscard]] DayBarsLayout layoutDayBars(const std::vector<double>& values,
                                          const std::optional<std::vector<double>>& previous,
                                          double width);

}  // namespace vx::present
