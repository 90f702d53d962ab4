#include "present/day_bars.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <vector>

#include "ui/png_probe.hpp"
#include "ui/render.hpp"

namespace vx::present {
namespace {

using ui::Rect;
using ui::Shape;
using ui::ShapeItem;

constexpr ui::Size kFrame{140, 40};

const Shape::RoundedRect* boxOf(const ShapeItem& item) {
  return std::get_if<Shape::RoundedRect>(&item.shape.geometry);
}
const Shape::Ellipse* dotOf(const ShapeItem& item) {
  return std::get_if<Shape::Ellipse>(&item.shape.geometry);
}
const ui::Path* lineOf(const ShapeItem& item) {
  return std::get_if<ui::Path>(&item.shape.geometry);
}

TEST(DayBars, BaselineStubsAndBarsBackToFront) {
  const Ink ink(ColorScheme::light);
  const auto items = DayBars{{0, 1, 400, -3}}.shapes(kFrame);
  ASSERT_EQ(items.size(), 5u);

  ASSERT_TRUE(boxOf(items[0]));
  EXPECT_EQ(boxOf(items[0])->rect, (Rect{0, 39, 140, 1}));
  EXPECT_EQ(items[0].paint.color, ink.baseline);
  EXPECT_FALSE(items[0].accentable);

  // Days 0 and 3 (zero and below) are 2-point stubs in the faint secondary colour.
  // 4 days in 140 points: slot 35, gap 12.25.
  for (std::size_t i : {1u, 2u}) {
    ASSERT_TRUE(boxOf(items[i]));
    EXPECT_TRUE(boxOf(items[i])->radii.isZero());
    EXPECT_EQ(items[i].paint.color, ink.secondary.withOpacity(0.3));
    EXPECT_FALSE(items[i].accentable);
  }
  EXPECT_EQ(boxOf(items[1])->rect, (Rect{6.125, 38, 22.75, 2}));
  EXPECT_EQ(boxOf(items[2])->rect, (Rect{3 * 35 + 6.125, 38, 22.75, 2}));

  // The 1 next to 400 keeps 3 points; bars stand on the bottom with rounded tops only.
  ASSERT_TRUE(boxOf(items[3]));
  EXPECT_EQ(boxOf(items[3])->rect, (Rect{35 + 6.125, 37, 22.75, 3}));
  EXPECT_EQ(boxOf(items[4])->rect, (Rect{70 + 6.125, 0, 22.75, 40}));
  EXPECT_EQ(boxOf(items[4])->radii, (ui::CornerRadii{2, 2, 0, 0}));
  EXPECT_EQ(items[4].paint.color, ink.accent);
  EXPECT_TRUE(items[3].accentable && items[4].accentable);
}

TEST(DayBars, AverageLineOnlyWhenThePreviousPeriodCompares) {
  const std::vector<double> days{5, 6, 7, 5, 6, 7, 5};
  const auto items = DayBars{days, std::vector<double>{3, 3, 4, 4, 5, 5, 4}}.shapes(kFrame);
  ASSERT_EQ(items.size(), 1u + 1 + 7);
  ASSERT_TRUE(lineOf(items[1]));
  EXPECT_EQ(items[1].paint.color, Ink(ColorScheme::light).previous);
  EXPECT_EQ(*items[1].paint.stroke,
            (ui::StrokeStyle{1.25, ui::LineCap::round, ui::LineJoin::miter, 10, {3, 3}, 0}));
  // Average 4 of a top of 7, between the outer gaps (7 days: gap 7).
  const auto& segments = lineOf(items[1])->segments();
  ASSERT_EQ(segments.size(), 2u);
  EXPECT_DOUBLE_EQ(segments[0].to.x, 3.5);
  EXPECT_DOUBLE_EQ(segments[1].to.x, 136.5);
  EXPECT_DOUBLE_EQ(segments[0].to.y, 40 * (1 - 4.0 / 7));
  EXPECT_DOUBLE_EQ(segments[1].to.y, segments[0].to.y);

  auto hasLine = [](const std::vector<ShapeItem>& shapes) {
    for (const auto& s : shapes) {
      if (lineOf(s)) return true;
    }
    return false;
  };
  EXPECT_FALSE(hasLine(DayBars{days}.shapes(kFrame)));
  EXPECT_FALSE(hasLine(DayBars{days, std::vector<double>{3, 3, 4}}.shapes(kFrame)));
  EXPECT_FALSE(hasLine(DayBars{days, std::vector<double>(7, 0)}.shapes(kFrame)));
  EXPECT_FALSE(hasLine(DayBars{{1, 0, 2, 4}, std::vector<double>{9, 9, 9, 9}}.shapes(kFrame)));
}

TEST(DayBars, SmallCountsStackAsDots) {
  const auto items = DayBars{{0, 3, 1, 4}, std::vector<double>{4, 4, 4, 4}}.shapes(kFrame);
  // Baseline, one stub, then 3 + 1 + 4 dots of 8.5 points.
  ASSERT_EQ(items.size(), 1u + 1 + 8);
  EXPECT_EQ(boxOf(items[1])->rect, (Rect{6.125, 38, 22.75, 2}));
  std::vector<Rect> dots;
  for (std::size_t i = 2; i < items.size(); ++i) {
    ASSERT_TRUE(dotOf(items[i]));
    EXPECT_TRUE(items[i].accentable);
    dots.push_back(dotOf(items[i])->bounds);
  }
  // Day 1 in slot 35: centred at 35 + 13.25, stacked from the bottom with 2-point gaps.
  EXPECT_EQ(dots[0], (Rect{48.25, 31.5, 8.5, 8.5}));
  EXPECT_EQ(dots[1], (Rect{48.25, 21, 8.5, 8.5}));
  EXPECT_EQ(dots[2], (Rect{48.25, 10.5, 8.5, 8.5}));
  EXPECT_EQ(dots[3], (Rect{83.25, 31.5, 8.5, 8.5}));
  // Day 3's four dots fill the frame to its top edge.
  EXPECT_EQ(dots[7], (Rect{118.25, 0, 8.5, 8.5}));
}

TEST(DayBars, EmptyAndPlaceholderCharts) {
  const auto none = DayBars{{}}.shapes(kFrame);
  ASSERT_EQ(none.size(), 1u);  // the baseline alone
  // Zero days, as the placeholder for a period without data: a stub per day.
  const auto zeros = DayBars{std::vector<double>(28, 0)}.shapes(kFrame);
  ASSERT_EQ(zeros.size(), 1u + 28);
  EXPECT_DOUBLE_EQ(boxOf(zeros[28])->rect.x, 27 * 5 + 1);
  EXPECT_DOUBLE_EQ(boxOf(zeros[28])->rect.width, 3);
  EXPECT_TRUE((DayBars{{1, 2}}.shapes({140, 0}).empty()));
}

TEST(DayBars, NonFiniteDaysAreEmptyDays) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const auto items =
      DayBars{{nan, 7, inf, -inf, 8.5}, std::vector<double>{nan, 1, 1, 1, 1}}.shapes(kFrame);
  // Baseline, average line (4 of 5 ones over 5 days: 0.8), three stubs, two bars.
  ASSERT_EQ(items.size(), 1u + 1 + 3 + 2);
  EXPECT_DOUBLE_EQ(lineOf(items[1])->segments()[0].to.y, 40 * (1 - 0.8 / 8.5));
  EXPECT_EQ(boxOf(items[6])->rect.height, 40);
  // A stack of huge dots never runs away: dot charts see whole numbers up to 4 only.
  EXPECT_EQ((DayBars{{inf, inf}}.shapes(kFrame).size()), 1u + 2);
}

// --- painted ---

ui::Color pixel(const DayBars& chart, int x, int y, ui::RenderOptions options = {}) {
  options.scale = 1;
  auto png = ui::render(chart.element(), kFrame, ui::ImageFormat::png, options);
  if (!png) return ui::Color::clear();
  ui::testing::PngProbe probe(png->bytes);
  return probe.at(x, y);
}

TEST(DayBarsPainted, PaletteInLightAndDark) {
  // 7 days in 140 points: slot 20, bars 13 wide from 3.5; day 1 is empty.
  const std::vector<double> days{4, 0, 2, 1, 5, 6, 7};
  for (ColorScheme scheme : {ColorScheme::light, ColorScheme::dark}) {
    const Ink ink(scheme);
    const DayBars chart{days, std::nullopt, scheme};
    EXPECT_TRUE(ui::testing::near(pixel(chart, 10, 30), ink.accent)) << rawValue(scheme);
    EXPECT_TRUE(ui::testing::near(pixel(chart, 1, 39), ink.baseline)) << rawValue(scheme);
    EXPECT_TRUE(ui::testing::near(pixel(chart, 30, 38), ink.secondary.withOpacity(0.3)))
        << rawValue(scheme);
    EXPECT_EQ(pixel(chart, 10, 5).opacity, 0) << rawValue(scheme);  // above a bar of 4 of 7
  }
}

TEST(DayBarsPainted, OnlyBarsTakeTheTintInAccentedMode) {
  ui::RenderOptions accented;
  accented.mode = ui::RenderingMode::accented;
  accented.tint = ui::Color::rgb24(0xff8800);
  accented.plain = ui::Color::rgb24(0x336699);
  const DayBars chart{{4, 0, 2, 1, 5, 6, 7}};
  EXPECT_TRUE(ui::testing::near(pixel(chart, 10, 30, accented), accented.tint));
  EXPECT_TRUE(ui::testing::near(pixel(chart, 1, 39, accented), accented.plain));
  EXPECT_TRUE(ui::testing::near(pixel(chart, 30, 38, accented), accented.plain.withOpacity(0.3)));
}

}  // namespace
}  // namespace vx::present
