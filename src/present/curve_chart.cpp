#include "present/curve_chart.hpp"

#include <algorithm>
#include <cmath>

#include "present/chart_values.hpp"
#include "present/smooth_curve.hpp"
#include "ui/path.hpp"

namespace vx::present {

namespace {

constexpr int kSamples = 140;
constexpr double kHeadroom = 1.15;

bool drawable(ui::Size s) {
  return std::isfinite(s.width) && std::isfinite(s.height) && s.width > 0 && s.height > 0;
}

// Maps curve points into the frame: x across the width, y from the bottom edge (0) up to the top
// edge (`top`). Curve points are finite, so the frame points are too.
std::vector<ui::Point> framePoints(const std::vector<CurvePoint>& curve, double top, ui::Size s) {
  std::vector<ui::Point> points;
  points.reserve(curve.size());
  for (const auto& p : curve) points.push_back({s.width * p.x, s.height * (1 - p.y / top)});
  return points;
}

ui::Path areaUnder(const std::vector<ui::Point>& line, double bottom) {
  ui::Path area;
  area.moveTo({line.front().x, bottom});
  for (const auto& p : line) area.lineTo(p);
  area.lineTo({line.back().x, bottom});
  area.close();
  return area;
}

ui::StrokeStyle previousLineStroke() {
  return {1.25, ui::LineCap::round, ui::LineJoin::round, 10, {3, 3}, 0};
}

ui::StrokeStyle currentLineStroke() {
  return {2, ui::LineCap::round, ui::LineJoin::round, 10, {}, 0};
}

}  // namespace

double curveTop(const std::vector<double>& values,
                const std::optional<std::vector<double>>& previous) {
  double largest = std::max(1.0, largestOr(chartValues(values), 1));
  if (previous) largest = std::max(largest, largestOr(chartValues(*previous), 1));
  return largest * kHeadroom;
}

std::vector<ui::ShapeItem> CurveChart::shapes(ui::Size size) const {
  if (!drawable(size)) return {};
  const Ink ink(scheme, renderingMode);
  const double top = curveTop(values, previous);
  const auto current = framePoints(smoothCurve(values, kSamples), top, size);
  std::vector<ui::Point> before;
  if (previous && previous->size() >= 2) {
    before = framePoints(smoothCurve(*previous, kSamples), top, size);
  }

  std::vector<ui::ShapeItem> items;
  if (!current.empty()) {
    items.push_back(
        ui::ShapeItem::fill(ui::Shape::path(areaUnder(current, size.height)), ink.accentSoft));
  }
  if (!before.empty()) {
    items.push_back(ui::ShapeItem::stroke(ui::Shape::path(ui::Path::polyline(before)), ink.previous,
                                          previousLineStroke()));
  }
  if (!current.empty()) {
    items.push_back(ui::ShapeItem::stroke(ui::Shape::path(ui::Path::polyline(current)), ink.accent,
                                          currentLineStroke()));
  }
  return items;
}

ui::Element CurveChart::element() const {
  return ui::canvas([chart = *this](ui::Size size) { return chart.shapes(size); }).accentable();
}

}  // namespace vx::present
