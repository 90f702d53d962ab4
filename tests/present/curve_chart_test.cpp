#include "present/curve_chart.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "ui/element.hpp"
#include "ui/layout.hpp"
#include "ui/png_probe.hpp"
#include "ui/render.hpp"

namespace vx::present {
namespace {

using ui::Path;
using ui::Point;
using ui::ShapeItem;

constexpr ui::Size kFrame{140, 40};

const Path& pathOf(const ShapeItem& item) {
  return std::get<Path>(item.shape.geometry);
}

std::vector<Point> pointsOf(const ShapeItem& item) {
  std::vector<Point> points;
  for (const auto& s : pathOf(item).segments()) {
    if (s.verb != Path::Verb::close) points.push_back(s.to);
  }
  return points;
}

std::vector<ShapeItem> draw(std::vector<double> values,
                            std::optional<std::vector<double>> previous = std::nullopt,
                            ui::Size frame = kFrame) {
  return CurveChart{std::move(values), std::move(previous)}.shapes(frame);
}

TEST(CurveChart, DrawsAreaThenDashedPreviousThenCurrentLine) {
  const Ink ink(ColorScheme::light);
  const auto items = CurveChart{{1, 3, 2}, std::vector<double>{2, 2, 1}}.shapes(kFrame);
  ASSERT_EQ(items.size(), 3u);

  EXPECT_FALSE(items[0].paint.stroke);
  EXPECT_EQ(items[0].paint.color, ink.accentSoft);

  ASSERT_TRUE(items[1].paint.stroke);
  EXPECT_EQ(items[1].paint.color, ink.previous);
  EXPECT_EQ(*items[1].paint.stroke,
            (ui::StrokeStyle{1.25, ui::LineCap::round, ui::LineJoin::round, 10, {3, 3}, 0}));

  ASSERT_TRUE(items[2].paint.stroke);
  EXPECT_EQ(items[2].paint.color, ink.accent);
  EXPECT_EQ(*items[2].paint.stroke,
            (ui::StrokeStyle{2, ui::LineCap::round, ui::LineJoin::round, 10, {}, 0}));

  EXPECT_EQ(pointsOf(items[1]).size(), 143u);
  EXPECT_EQ(pointsOf(items[2]).size(), 143u);
}

TEST(CurveChart, AreaIsClosedAlongTheBottomEdge) {
  const auto items = CurveChart{{1, 3, 2}}.shapes(kFrame);
  ASSERT_EQ(items.size(), 2u);
  const auto& segments = pathOf(items[0]).segments();
  ASSERT_EQ(segments.size(), 143u + 3);
  EXPECT_EQ(segments.front().verb, Path::Verb::move);
  EXPECT_EQ(segments.front().to, (Point{0, 40}));
  EXPECT_EQ(segments[segments.size() - 2].to, (Point{140, 40}));
  EXPECT_EQ(segments.back().verb, Path::Verb::close);
  // Between the two bottom corners the area follows the line exactly.
  const auto line = pointsOf(items[1]);
  for (std::size_t i = 0; i < line.size(); ++i) EXPECT_EQ(segments[i + 1].to, line[i]);
}

TEST(CurveChart, LargestDaySitsBelowTheTopAndZeroOnTheBottom) {
  const auto line = pointsOf(CurveChart{{0, 10, 0}}.shapes(kFrame).back());
  EXPECT_EQ(line.front(), (Point{0, 40}));
  EXPECT_DOUBLE_EQ(line[71].x, 70);
  EXPECT_NEAR(line[71].y, 40 * (1 - 1 / 1.15), 1e-9);
  EXPECT_EQ(line.back(), (Point{140, 40}));

  // All zeros: the line lies on the bottom edge.
  for (const auto& p : pointsOf(CurveChart{{0, 0, 0}}.shapes(kFrame).back())) EXPECT_EQ(p.y, 40);
  // The scale never tops below 1.15, and the previous period can raise it.
  EXPECT_DOUBLE_EQ(curveTop({0.5, 0.2}, std::nullopt), 1.15);
  EXPECT_DOUBLE_EQ(curveTop({}, std::nullopt), 1.15);
  EXPECT_DOUBLE_EQ(curveTop({3, 4}, std::vector<double>{8}), 8 * 1.15);
  const auto small = pointsOf(CurveChart{{0.5, 0.5}}.shapes(kFrame).back());
  EXPECT_NEAR(small.front().y, 40 * (1 - 0.5 / 1.15), 1e-9);
  const auto raised = pointsOf(CurveChart{{4, 4}, std::vector<double>{8}}.shapes(kFrame).back());
  EXPECT_NEAR(raised.front().y, 40 * (1 - 4 / (8 * 1.15)), 1e-9);
}

TEST(CurveChart, ShortSeriesDrawOnlyWhatTheyCan) {
  EXPECT_TRUE(CurveChart{{}}.shapes(kFrame).empty());
  EXPECT_TRUE(draw({5}, std::vector<double>{9}).empty());
  // One current day: only the previous period's line.
  const auto items = CurveChart{{5}, std::vector<double>{1, 3}}.shapes(kFrame);
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].paint.color, Ink(ColorScheme::light).previous);
  // No previous period: area and line only.
  EXPECT_EQ(draw({1, 2}).size(), 2u);
  // An empty or unusable frame draws nothing.
  EXPECT_TRUE(draw({1, 2}, std::nullopt, {0, 40}).empty());
  EXPECT_TRUE(draw({1, 2}, std::nullopt, {std::numeric_limits<double>::infinity(), 40}).empty());
}

TEST(CurveChart, NonFiniteDaysAreDrawnAsZero) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const auto items = CurveChart{{nan, 2, inf}, std::vector<double>{-inf, 4, 4}}.shapes(kFrame);
  ASSERT_EQ(items.size(), 3u);
  const auto expected = CurveChart{{0, 2, 0}, std::vector<double>{0, 4, 4}}.shapes(kFrame);
  for (std::size_t i = 0; i < items.size(); ++i) {
    EXPECT_EQ(pointsOf(items[i]), pointsOf(expected[i])) << "shape " << i;
  }
  const double huge = std::numeric_limits<double>::max();
  for (const auto& item : CurveChart{{huge, -huge, huge}}.shapes(kFrame)) {
    for (const auto& p : pointsOf(item)) EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
  }
}

// --- painted ---

ui::Color pixel(const ui::Element& chart, int x, int y, ui::RenderOptions options = {}) {
  options.scale = 1;
  auto png = ui::render(chart, {100, 50}, ui::ImageFormat::png, options);
  if (!png) return ui::Color::clear();
  ui::testing::PngProbe probe(png->bytes);
  return probe.at(x, y);
}

ui::Color pixel(const CurveChart& chart, int x, int y, ui::RenderOptions options = {}) {
  return pixel(chart.element(), x, y, options);
}

// `top` painted over an opaque `bottom`.
ui::Color over(ui::Color top, ui::Color bottom) {
  auto mix = [&](double t, double b) { return t * top.opacity + b * (1 - top.opacity); };
  return {mix(top.red, bottom.red), mix(top.green, bottom.green), mix(top.blue, bottom.blue), 1};
}

TEST(CurveChartPainted, LineAndAreaInThePaletteOfTheScheme) {
  for (ColorScheme scheme : {ColorScheme::light, ColorScheme::dark}) {
    const Ink ink(scheme);
    // A flat series of 1 runs at 50 * (1 - 1 / 1.15) ≈ 6.5 points from the top.
    const CurveChart chart{{1, 1}, std::nullopt, scheme};
    const ui::Element onBackground =
        chart.element().background(ui::rectangle().fill(ink.background));
    EXPECT_TRUE(ui::testing::near(pixel(onBackground, 50, 6), ink.accent)) << rawValue(scheme);
    EXPECT_TRUE(
        ui::testing::near(pixel(onBackground, 50, 30), over(ink.accentSoft, ink.background)))
        << rawValue(scheme);
    EXPECT_TRUE(ui::testing::near(pixel(onBackground, 50, 2), ink.background)) << rawValue(scheme);
  }
}

TEST(CurveChartPainted, WholeChartTakesTheTintInAccentedMode) {
  ui::RenderOptions accented;
  accented.mode = ui::RenderingMode::accented;
  accented.tint = ui::Color::rgb24(0xff8800);
  // The previous line runs above the current one, at 2 of a top of 2.3: 50 * (1 - 1 / 1.15).
  const CurveChart chart{{1, 1}, std::vector<double>{2, 2}};
  EXPECT_TRUE(ui::testing::near(pixel(chart, 50, 28, accented), accented.tint));
  EXPECT_TRUE(ui::testing::near(pixel(chart, 50, 45, accented), accented.tint.withOpacity(0.16)));
  // The dashes start at the left edge: 3 points on, 3 off.
  EXPECT_TRUE(ui::testing::near(pixel(chart, 1, 6, accented), accented.tint.withOpacity(0.55)));
  EXPECT_EQ(pixel(chart, 4, 6, accented).opacity, 0);
}

}  // namespace
}  // namespace vx::present
