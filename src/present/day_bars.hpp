#pragma once

#include <optional>
#include <vector>

#include "present/ink.hpp"
#include "ui/element.hpp"
#include "ui/shape.hpp"

namespace vx::present {

// A period's daily figures as bars standing on a baseline, or as stacked dots when the days are
// a few units each; empty days show a faint stub, and a dashed line marks the previous period's
// daily average. Fills whatever frame it is given; the bars and dots belong to the accent group.
struct DayBars {
  std::vector<double> values;                     // one per day, oldest first
  std::optional<std::vector<double>> previous{};  // the same days of the previous period
  ColorScheme scheme = ColorScheme::light;
  ui::RenderingMode renderingMode = ui::RenderingMode::fullColor;

  // The shapes back to front in a frame of `size` (origin top-left, y down). Nothing for a frame
  // that is empty or not finite.
  [[nodiscard]] std::vector<ui::ShapeItem> shapes(ui::Size size) const;
  [[nodiscard]] ui::Element element() const;
};

}  // namespace vx::present
