#pragma once

#include <optional>
#include <vector>

#include "present/ink.hpp"
#include "ui/element.hpp"
#include "ui/shape.hpp"

namespace vx::present {

// A period's daily figures as a smooth line over a soft area, with the previous period's days
// as a dashed line behind it. Fills whatever frame it is given; the whole chart is one layer of
// the accent group.
struct CurveChart {
  std::vector<double> values;                     // one per day, oldest first
  std::optional<std::vector<double>> previous{};  // the same days of the previous period
  ColorScheme scheme = ColorScheme::light;
  ui::RenderingMode renderingMode = ui::RenderingMode::fullColor;

  // The shapes back to front in a frame of `size` (origin top-left, y down). Nothing for a frame
  // that is empty or not finite.
  [[nodiscard]] std::vector<ui::ShapeItem> shapes(ui::Size size) const;
  [[nodiscard]] ui::Element element() const;
};

// The value drawn at the chart's top edge: 15 % above the largest day of either period, and
// never below 1.15. Non-finite days count as 0.
[[nodiscard]] double curveTop(const std::vector<double>& values,
                              const std::optional<std::vector<double>>& previous);

}  // namespace vx::present
