// The header row in real widget widths: its height, the online indicator's place, its fonts.
#include <gtest/gtest.h>

#include "component_support.hpp"
#include "present/widget_header.hpp"

namespace vx::present {
namespace {

using testing::frame;
using testing::framesOfKind;
using testing::inWidget;
using testing::kLight;
using testing::kMedium;
using testing::kSmall;
using testing::textNamed;
using testing::texts;

ui::Layout header(const std::string& title, std::int64_t online, const std::string& trailing,
                  ui::Size family) {
  return inWidget(WidgetHeader(ui::text(title), online, trailing, kLight).tag("header"), family);
}

TEST(WidgetHeader, IsExactlyTwentyHighAcrossTheWholeWidth) {
  for (ui::Size family : {kSmall, kMedium}) {
    for (std::int64_t online : {0, 7}) {
      const ui::Layout l = header("Acme 2024", online, "28 days", family);
      const ui::Rect h = frame(l, "header");
      EXPECT_DOUBLE_EQ(h.height, 20);
      EXPECT_NEAR(h.width, family.width - 32, 0.01);
      for (const auto& t : texts(l)) {
        EXPECT_GE(t.frame.y, h.y - 0.01) << t.text;
        EXPECT_LE(t.frame.maxY(), h.maxY() + 0.01) << t.text;
      }
    }
  }
}

TEST(WidgetHeader, NobodyOnlineShowsNoIndicatorAtAll) {
  for (std::int64_t online : {0, -3}) {
    const ui::Layout l = header("Acme", online, "28 days", kMedium);
    ASSERT_EQ(texts(l).size(), 2u);
    // The widget's background is the only shape left: no live dot.
    EXPECT_EQ(framesOfKind(l, "shape").size(), 1u);
    EXPECT_NEAR(textNamed(l, "28 days").frame.maxX(), 364 - 16, 0.01);
  }
}

TEST(WidgetHeader, IndicatorKeepsFourPointsFromTheTrailingTextAndIsFlushRightWithout) {
  const ui::Layout with = header("Acme", 12, "14:05", kMedium);
  const ui::Rect online = textNamed(with, "12 now").frame;
  const ui::Rect trailing = textNamed(with, "14:05").frame;
  EXPECT_NEAR(trailing.x - online.maxX(), 4 + 6, 0.01);
  EXPECT_NEAR(trailing.maxX(), 364 - 16, 0.01);

  const ui::Layout without = header("Acme", 12, "", kMedium);
  EXPECT_EQ(texts(without).size(), 2u);
  EXPECT_NEAR(textNamed(without, "12 now").frame.maxX(), 364 - 16, 0.01);
}

TEST(WidgetHeader, TitleTakesItsOwnFontAndFiguresKeepTabularDigits) {
  const ui::Layout l = header("Acme 2024", 3, "28 days \u00b7 14:05", kMedium);
  const Ink ink(ColorScheme::light);
  const auto title = textNamed(l, "Acme 2024").run;
  EXPECT_DOUBLE_EQ(title.fontSize, 13);
  EXPECT_EQ(title.weight, ui::Weight::semibold);
  EXPECT_EQ(title.color, ink.primary);
  EXPECT_FALSE(title.tabularDigits);
  const auto trailing = textNamed(l, "28 days \u00b7 14:05").run;
  EXPECT_DOUBLE_EQ(trailing.fontSize, 12);
  EXPECT_EQ(trailing.weight, ui::Weight::medium);
  EXPECT_TRUE(trailing.tabularDigits);
  EXPECT_EQ(trailing.color, ink.secondary);
  EXPECT_EQ(textNamed(l, "3 now").run.color, ink.liveText);
}

TEST(WidgetHeader, ALongTitleShrinksALittleThenIsCutOnOneLine) {
  const ui::Layout l = header("A project with a rather long name", 12, "14:05", kSmall);
  const auto title = textNamed(l, "A project with a rather long name");
  EXPECT_EQ(title.run.lines.size(), 1u);
  EXPECT_TRUE(title.run.truncated);
  EXPECT_DOUBLE_EQ(title.run.scale, 0.85);
  EXPECT_FALSE(textNamed(l, "12 now").run.truncated);
  EXPECT_LE(textNamed(l, "14:05").frame.maxX(), 170 - 16 + 0.01);
}

}  // namespace
}  // namespace vx::present
