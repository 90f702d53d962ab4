#include "present/day_bars.hpp"

#include <cmath>

#include "present/chart_dots.hpp"
#include "present/chart_values.hpp"
#include "present/day_bars_layout.hpp"
#include "ui/path.hpp"

namespace vx::present {

namespace {

constexpr double kBaselineHeight = 1;
constexpr double kStubHeight = 2;
constexpr double kStubOpacity = 0.3;
constexpr double kBarCornerRadius = 2;
constexpr double kDotGap = 2;

bool drawable(ui::Size s) {
  return std::isfinite(s.width) && std::isfinite(s.height) && s.width > 0 && s.height > 0;
}

ui::StrokeStyle averageLineStroke() {
  return {1.25, ui::LineCap::round, ui::LineJoin::miter, 10, {3, 3}, 0};
}

ui::Rect barRect(const DayBarsLayout& l, std::size_t day, double height, ui::Size s) {
  return {l.barX(day), s.height - height, l.barWidth(), height};
}

void addBaseline(std::vector<ui::ShapeItem>& items, ui::Size s, const Ink& ink) {
  items.push_back(ui::ShapeItem::fill(
      ui::Shape::rect({0, s.height - kBaselineHeight, s.width, kBaselineHeight}), ink.baseline));
}

void addAverageLine(std::vector<ui::ShapeItem>& items, const DayBarsLayout& l, ui::Size s,
                    const Ink& ink) {
  if (!l.showsAverage()) return;
  const double y = l.levelY(*l.average, s.height);
  ui::Path line;
  line.moveTo({l.gap / 2, y}).lineTo({s.width - l.gap / 2, y});
  items.push_back(
      ui::ShapeItem::stroke(ui::Shape::path(std::move(line)), ink.previous, averageLineStroke()));
}

void addZeroDayStubs(std::vector<ui::ShapeItem>& items, const std::vector<double>& values,
                     const DayBarsLayout& l, ui::Size s, const Ink& ink) {
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (values[i] > 0) continue;
    items.push_back(ui::ShapeItem::fill(ui::Shape::rect(barRect(l, i, kStubHeight, s)),
                                        ink.secondary.fading(kStubOpacity)));
  }
}

void addBars(std::vector<ui::ShapeItem>& items, const std::vector<double>& values,
             const DayBarsLayout& l, ui::Size s, const Ink& ink) {
  const ui::CornerRadii topCorners{kBarCornerRadius, kBarCornerRadius, 0, 0};
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (values[i] <= 0) continue;
    const ui::Rect bar = barRect(l, i, l.barHeight(values[i], s.height), s);
    items.push_back(
        ui::ShapeItem::fill(ui::Shape::roundedRect(bar, topCorners), ink.accent).accented());
  }
}

// One dot per unit, stacked upwards from the bottom edge with 2-point gaps, centred in the slot.
void addDots(std::vector<ui::ShapeItem>& items, const std::vector<double>& values,
             const DayBarsLayout& l, ui::Size s, const Ink& ink) {
  const double d = dotSize(s.width, s.height, values);
  if (!(d > 0)) return;  // a frame too small for any dot
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (values[i] <= 0) continue;
    // Dot charts only hold whole numbers up to 4.
    const auto count = static_cast<int>(std::trunc(values[i]));
    const double x = static_cast<double>(i) * l.slot + (l.slot - d) / 2;
    for (int k = 0; k < count; ++k) {
      const double y = s.height - (k + 1) * d - kDotGap * k;
      items.push_back(ui::ShapeItem::fill(ui::Shape::ellipse({x, y, d, d}), ink.accent).accented());
    }
  }
}

}  // namespace

std::vector<ui::ShapeItem> DayBars::shapes(ui::Size size) const {
  if (!drawable(size)) return {};
  const Ink ink(scheme, renderingMode);
  const std::vector<double> days = chartValues(values);
  const DayBarsLayout l = layoutDayBars(days, previous, size.width);
  std::vector<ui::ShapeItem> items;
  addBaseline(items, size, ink);
  addAverageLine(items, l, size, ink);
  addZeroDayStubs(items, days, l, size, ink);
  if (l.dots) {
    addDots(items, days, l, size, ink);
  } else {
    addBars(items, days, l, size, ink);
  }
  return items;
}

ui::Element DayBars::element() const {
  return ui::canvas([chart = *this](ui::Size size) { return chart.shapes(size); });
}

}  // namespace vx::present
