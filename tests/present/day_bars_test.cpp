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

constexpr ui::Size kFrame{140, 40};

std::vector<ui::ShapeItem> draw(std::vector<double> values,
                                std::optional<std::vector<double>> previous = std::nullopt) {
  return DayBars{std::move(values), std::move(previous)}.shapes(kFrame);
}
Rect rectOf(const ui::ShapeItem& item) {
  if (const auto* r = std::get_if<Shape::RoundedRect>(&item.shape.geometry)) return r->rect;
  if (const auto* e = std::get_if<Shape::Ellipse>(&item.shape.geometry)) return e->bounds;
  return {};
}
const ui::Path* lineOf(const ui::ShapeItem& item) {
  return std::get_if<ui::Path>(&item.shape.geometry);
}

TEST(DayBars, BaselineStubsAndBarsBackToFront) {
  const Ink ink(ColorScheme::light);
  // 4 days in 140 points: slot 35, gap 12.25, bars 22.75 wide.
  const auto items = draw({0, 1, 400, -3});
  ASSERT_EQ(items.size(), 5u);
  EXPECT_EQ(rectOf(items[0]), (Rect{0, 39, 140, 1}));
  EXPECT_EQ(items[0].paint.color, ink.baseline);
  // Days at or below 0 are 2-point stubs in the faint secondary colour, outside the accent group.
  EXPECT_EQ(rectOf(items[1]), (Rect{6.125, 38, 22.75, 2}));
  EXPECT_EQ(rectOf(items[2]), (Rect{105 + 6.125, 38, 22.75, 2}));
  EXPECT_EQ(items[2].paint.color, ink.secondary.withOpacity(0.3));
  EXPECT_FALSE(items[0].accentable || items[1].accentable || items[2].accentable);
  // The 1 next to 400 keeps 3 points; bars stand on the bottom with only their tops rounded.
  EXPECT_EQ(rectOf(items[3]), (Rect{35 + 6.125, 37, 22.75, 3}));
  EXPECT_EQ(rectOf(items[4]), (Rect{70 + 6.125, 0, 22.75, 40}));
  EXPECT_EQ(std::get<Shape::RoundedRect>(items[4].shape.geometry).radii,
            (ui::CornerRadii{2, 2, 0, 0}));
  EXPECT_EQ(items[4].paint.color, ink.accent);
  EXPECT_TRUE(items[3].accentable && items[4].accentable);
}

TEST(DayBars, DashedAverageLineAcrossTheBars) {
  const auto items = draw({5, 6, 7, 5, 6, 7, 5}, std::vector<double>{3, 3, 4, 4, 5, 5, 4});
  ASSERT_EQ(items.size(), 1u + 1 + 7);
  ASSERT_TRUE(lineOf(items[1]));
  EXPECT_EQ(items[1].paint.color, Ink(ColorScheme::light).previous);
  EXPECT_EQ(*items[1].paint.stroke,
            (ui::StrokeStyle{1.25, ui::LineCap::round, ui::LineJoin::miter, 10, {3, 3}, 0}));
  // Average 4 of a top of 7, between the outer half gaps (7 days: gap 7).
  const auto& ends = lineOf(items[1])->segments();
  ASSERT_EQ(ends.size(), 2u);
  EXPECT_EQ(ends[0].to, (ui::Point{3.5, 40 * (1 - 4.0 / 7)}));
  EXPECT_EQ(ends[1].to, (ui::Point{136.5, 40 * (1 - 4.0 / 7)}));
  // Without a comparable previous period: baseline and bars only.
  EXPECT_EQ(draw({5, 6, 7, 5, 6, 7, 5}, std::vector<double>(7, 0)).size(), 1u + 7);
}

TEST(DayBars, SmallCountsStackAsDots) {
  // Dots of 8.5 in 140 x 40; no average line even with a previous period.
  const auto items = draw({0, 3, 1, 4}, std::vector<double>{4, 4, 4, 4});
  ASSERT_EQ(items.size(), 1u + 1 + 8);  // baseline, one stub, 3 + 1 + 4 dots
  EXPECT_EQ(rectOf(items[1]), (Rect{6.125, 38, 22.75, 2}));
  for (std::size_t i = 2; i < items.size(); ++i) {
    EXPECT_TRUE(std::holds_alternative<Shape::Ellipse>(items[i].shape.geometry));
    EXPECT_TRUE(items[i].accentable);
  }
  // Centred in the slot, stacked upwards from the bottom edge with 2-point gaps.
  EXPECT_EQ(rectOf(items[2]), (Rect{48.25, 31.5, 8.5, 8.5}));
  EXPECT_EQ(rectOf(items[3]), (Rect{48.25, 21, 8.5, 8.5}));
  EXPECT_EQ(rectOf(items[5]), (Rect{83.25, 31.5, 8.5, 8.5}));
  EXPECT_EQ(rectOf(items[9]), (Rect{118.25, 0, 8.5, 8.5}));  // the fourth reaches the top
}

TEST(DayBars, EmptyOrNonFiniteDaysAndUnusableFrames) {
  EXPECT_EQ(draw({}).size(), 1u);  // the baseline alone
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  // Baseline, average (4 ones over 5 days: 0.8), three empty-day stubs, two bars.
  const auto items = draw({nan, 7, inf, -inf, 8.5}, std::vector<double>{nan, 1, 1, 1, 1});
  ASSERT_EQ(items.size(), 1u + 1 + 3 + 2);
  EXPECT_DOUBLE_EQ(lineOf(items[1])->segments()[0].to.y, 40 * (1 - 0.8 / 8.5));
  EXPECT_EQ(rectOf(items[6]).height, 40);
  EXPECT_TRUE((DayBars{{1, 2}}.shapes({140, 0}).empty()));
  EXPECT_TRUE((DayBars{{1, 2}}.shapes({inf, 40}).empty()));
}

ui::Color pixel(const DayBars& chart, int x, int y, ui::RenderOptions options = {}) {
  options.scale = 1;
  auto png = ui::render(chart.element(), kFrame, ui::ImageFormat::png, options);
  return png ? testing::PngProbe(png->bytes).at(x, y) : ui::Color::clear();
}

TEST(DayBarsPainted, PaletteInLightDarkAndAccentedMode) {
  // 7 days in 140 points: slot 20, bars 13 wide from 3.5; day 1 is empty.
  const std::vector<double> days{4, 0, 2, 1, 5, 6, 7};
  for (ColorScheme scheme : {ColorScheme::light, ColorScheme::dark}) {
    const Ink ink(scheme);
    const DayBars chart{days, std::nullopt, scheme};
    EXPECT_TRUE(testing::near(pixel(chart, 10, 30), ink.accent)) << rawValue(scheme);
    EXPECT_TRUE(testing::near(pixel(chart, 1, 39), ink.baseline)) << rawValue(scheme);
    EXPECT_TRUE(testing::near(pixel(chart, 30, 38), ink.secondary.withOpacity(0.3)));
    EXPECT_EQ(pixel(chart, 10, 5).opacity, 0) << rawValue(scheme);  // above a bar of 4 of 7
  }
  // Accented: only the bars take the tint.
  ui::RenderOptions accented;
  accented.mode = ui::RenderingMode::accented;
  accented.tint = ui::Color::rgb24(0xff8800);
  accented.plain = ui::Color::rgb24(0x336699);
  const DayBars chart{days};
  EXPECT_TRUE(testing::near(pixel(chart, 10, 30, accented), accented.tint));
  EXPECT_TRUE(testing::near(pixel(chart, 1, 39, accented), accented.plain));
  EXPECT_TRUE(testing::near(pixel(chart, 30, 38, accented), accented.plain.withOpacity(0.3)));
}

}  // namespace
}  // namespace vx::present
