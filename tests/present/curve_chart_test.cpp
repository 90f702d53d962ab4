#include "present/curve_chart.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <vector>

#include "ui/png_probe.hpp"
#include "ui/render.hpp"

namespace vx::present {
namespace {

using ui::Path;
using ui::Point;

constexpr ui::Size kFrame{140, 40};

std::vector<ui::ShapeItem> draw(std::vector<double> values,
                                std::optional<std::vector<double>> previous = std::nullopt,
                                ui::Size frame = kFrame) {
  return CurveChart{std::move(values), std::move(previous)}.shapes(frame);
}

std::vector<Point> pointsOf(const ui::ShapeItem& item) {
  std::vector<Point> points;
  for (const auto& s : std::get<Path>(item.shape.geometry).segments()) {
    if (s.verb != Path::Verb::close) points.push_back(s.to);
  }
  return points;
}

TEST(CurveChart, AreaThenDashedPreviousThenCurrentLine) {
  const Ink ink(ColorScheme::light);
  const auto items = draw({1, 3, 2}, std::vector<double>{2, 2, 1});
  ASSERT_EQ(items.size(), 3u);
  EXPECT_FALSE(items[0].paint.stroke);
  EXPECT_EQ(items[0].paint.color, ink.accentSoft);
  EXPECT_EQ(items[1].paint.color, ink.previous);
  EXPECT_EQ(items[1].paint.stroke,
            (ui::StrokeStyle{1.25, ui::LineCap::round, ui::LineJoin::round, 10, {3, 3}, 0}));
  EXPECT_EQ(items[2].paint.color, ink.accent);
  EXPECT_EQ(items[2].paint.stroke,
            (ui::StrokeStyle{2, ui::LineCap::round, ui::LineJoin::round, 10, {}, 0}));

  // The area follows the current line and closes along the bottom edge.
  const auto area = pointsOf(items[0]);
  const auto line = pointsOf(items[2]);
  ASSERT_EQ(line.size(), 143u);
  ASSERT_EQ(area.size(), line.size() + 2);
  EXPECT_EQ(area.front(), (Point{0, 40}));
  EXPECT_EQ(area.back(), (Point{140, 40}));
  EXPECT_TRUE(std::equal(line.begin(), line.end(), area.begin() + 1));
}

TEST(CurveChart, LargestDaySitsBelowTheTopAndZeroOnTheBottom) {
  const auto line = pointsOf(draw({0, 10, 0}).back());
  EXPECT_EQ(line.front(), (Point{0, 40}));
  EXPECT_DOUBLE_EQ(line[71].x, 70);
  EXPECT_NEAR(line[71].y, 40 * (1 - 1 / 1.15), 1e-9);
  for (const auto& p : pointsOf(draw({0, 0, 0}).back())) EXPECT_EQ(p.y, 40);
  // The top is never below 1.15, and the previous period (drawn or not) can raise it.
  EXPECT_DOUBLE_EQ(curveTop({0.5, 0.2}, std::nullopt), 1.15);
  EXPECT_NEAR(pointsOf(draw({0.5, 0.5}).back())[0].y, 40 * (1 - 0.5 / 1.15), 1e-9);
  EXPECT_NEAR(pointsOf(draw({4, 4}, std::vector<double>{8}).back())[0].y, 40 * (1 - 4 / 9.2), 1e-9);
}

TEST(CurveChart, ShortSeriesAndUnusableFramesDrawOnlyWhatTheyCan) {
  EXPECT_TRUE(draw({}).empty());
  EXPECT_TRUE(draw({5}, std::vector<double>{9}).empty());
  const auto previousOnly = draw({5}, std::vector<double>{1, 3});
  ASSERT_EQ(previousOnly.size(), 1u);
  EXPECT_EQ(previousOnly[0].paint.color, Ink(ColorScheme::light).previous);
  EXPECT_EQ(draw({1, 2}).size(), 2u);
  EXPECT_TRUE(draw({1, 2}, std::nullopt, {0, 40}).empty());
  EXPECT_TRUE(draw({1, 2}, std::nullopt, {std::numeric_limits<double>::infinity(), 40}).empty());
}

TEST(CurveChart, NonFiniteDaysAreDrawnAsZero) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const auto items = draw({nan, 2, inf}, std::vector<double>{-inf, 4, 4});
  const auto expected = draw({0, 2, 0}, std::vector<double>{0, 4, 4});
  ASSERT_EQ(items.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(pointsOf(items[i]), pointsOf(expected[i]));
  const double huge = std::numeric_limits<double>::max();
  for (const auto& item : draw({huge, -huge, huge})) {
    for (const auto& p : pointsOf(item)) EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
  }
}

ui::Color pixel(const ui::Element& chart, int x, int y, ui::RenderOptions options = {}) {
  options.scale = 1;
  auto png = ui::render(chart, {100, 50}, ui::ImageFormat::png, options);
  return png ? testing::PngProbe(png->bytes).at(x, y) : ui::Color::clear();
}

ui::Color over(ui::Color top, ui::Color bottom) {
  auto mix = [&](double t, double b) { return t * top.opacity + b * (1 - top.opacity); };
  return {mix(top.red, bottom.red), mix(top.green, bottom.green), mix(top.blue, bottom.blue), 1};
}

TEST(CurveChartPainted, PaletteInLightAndDarkAndOneTintInAccentedMode) {
  // A flat series of 1 runs 50 * (1 - 1 / 1.15) ≈ 6.5 points from the top.
  for (ColorScheme scheme : {ColorScheme::light, ColorScheme::dark}) {
    const Ink ink(scheme);
    const ui::Element chart = CurveChart{{1, 1}, std::nullopt, scheme}.element().background(
        ui::rectangle().fill(ink.background));
    EXPECT_TRUE(testing::near(pixel(chart, 50, 6), ink.accent)) << rawValue(scheme);
    EXPECT_TRUE(testing::near(pixel(chart, 50, 30), over(ink.accentSoft, ink.background)));
    EXPECT_TRUE(testing::near(pixel(chart, 50, 2), ink.background)) << rawValue(scheme);
  }
  // Accented: the whole chart, previous line included, is in the tint. The previous line runs
  // at the top's 1/1.15 and the current one at half of it; dashes start at the left edge.
  ui::RenderOptions accented;
  accented.mode = ui::RenderingMode::accented;
  accented.tint = ui::Color::rgb24(0xff8800);
  const ui::Element chart = CurveChart{{1, 1}, std::vector<double>{2, 2}}.element();
  EXPECT_TRUE(testing::near(pixel(chart, 50, 28, accented), accented.tint));
  EXPECT_TRUE(testing::near(pixel(chart, 50, 45, accented), accented.tint.withOpacity(0.16)));
  EXPECT_TRUE(testing::near(pixel(chart, 1, 6, accented), accented.tint.withOpacity(0.55)));
  EXPECT_EQ(pixel(chart, 4, 6, accented).opacity, 0);
}

}  // namespace
}  // namespace vx::present
