// The change badge and the headline figure it sits beside.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "component_support.hpp"
#include "present/change.hpp"
#include "present/metric.hpp"
#include "present/online.hpp"
#include "present/widget_type.hpp"

namespace vx::present {
namespace {

using testing::frame;
using testing::inWidget;
using testing::kDark;
using testing::kLight;
using testing::kMedium;
using testing::kSmall;
using testing::textNamed;
using testing::texts;

TEST(Change, RoundsHalfAwayFromZeroAndDropsWhatRoundsToNothing) {
  EXPECT_EQ(changeText(std::nullopt), std::nullopt);
  EXPECT_EQ(changeText(0.0), std::nullopt);
  EXPECT_EQ(changeText(0.3), std::nullopt);
  EXPECT_EQ(changeText(-0.4), std::nullopt);
  EXPECT_EQ(changeText(0.49), std::nullopt);
  EXPECT_EQ(changeText(0.5), "\u21911%");
  EXPECT_EQ(changeText(-0.5), "\u21931%");
  EXPECT_EQ(changeText(12.6), "\u219113%");
  EXPECT_EQ(changeText(-3.2), "\u21933%");
  EXPECT_EQ(changeText(2.5), "\u21913%");
}

TEST(Change, NumbersThatAreNotFiniteOrHugeStillGiveASaneBadge) {
  EXPECT_EQ(changeText(std::numeric_limits<double>::quiet_NaN()), std::nullopt);
  EXPECT_EQ(changeText(std::numeric_limits<double>::infinity()), std::nullopt);
  EXPECT_EQ(changeText(-std::numeric_limits<double>::infinity()), std::nullopt);
  // Beyond a hundredfold, however far, in the width of a real badge.
  EXPECT_EQ(changeText(1e20), "\u21919999+%");
  EXPECT_EQ(changeText(-1e308), "\u21939999+%");
}

TEST(Change, NothingToShowTakesNoSpaceInARow) {
  for (std::optional<double> none :
       {std::optional<double>(), std::optional<double>(0.3), std::optional<double>(std::nan(""))}) {
    EXPECT_TRUE(Change(none, WidgetType::change, kLight).isEmpty());
    const ui::Layout l =
        inWidget(ui::row({ui::text("A").tag("a"), Change(none, WidgetType::change, kLight),
                          ui::text("B").tag("b")})
                     .spacing(6),
                 kSmall);
    EXPECT_DOUBLE_EQ(frame(l, "b").x, frame(l, "a").maxX() + 6);
  }
}

TEST(Change, UpIsGreenAndDownIsRedInTheBadgeFont) {
  for (const Environment& env : {kLight, kDark}) {
    const Ink ink(env.colorScheme);
    const ui::Layout up = inWidget(Change(12.6, WidgetType::hero, env), kSmall);
    const auto badge = textNamed(up, "\u219113%").run;
    EXPECT_EQ(badge.color, ink.up);
    EXPECT_DOUBLE_EQ(badge.fontSize, 30);
    EXPECT_EQ(badge.weight, ui::Weight::semibold);
    EXPECT_TRUE(badge.tabularDigits);
    const ui::Layout down = inWidget(Change(-0.5, WidgetType::change, env), kSmall);
    EXPECT_EQ(textNamed(down, "\u21931%").run.color, ink.down);
  }
}

TEST(Metric, ValueAndBadgeShareABaselineUnderTheLabel) {
  const ui::Layout l =
      inWidget(Metric("Visitors", "12,345", 12.6, WidgetType::hero, kLight).tag("metric"), kMedium);
  const auto label = textNamed(l, "Visitors");
  const auto value = textNamed(l, "12,345");
  const auto badge = textNamed(l, "\u219113%");
  const Ink ink(ColorScheme::light);
  EXPECT_EQ(label.run.color, ink.secondary);
  EXPECT_DOUBLE_EQ(label.run.fontSize, 12);
  EXPECT_EQ(value.run.color, ink.primary);
  EXPECT_DOUBLE_EQ(value.run.fontSize, 30);
  EXPECT_DOUBLE_EQ(badge.run.fontSize, 12);
  // Column with no spacing, leading-aligned.
  EXPECT_DOUBLE_EQ(label.frame.x, value.frame.x);
  EXPECT_NEAR(value.frame.y, label.frame.maxY(), 0.01);
  EXPECT_NEAR(badge.frame.x, value.frame.maxX() + 6, 0.01);
  EXPECT_NEAR(badge.frame.y + badge.run.lines[0].baseline,
              value.frame.y + value.run.lines[0].baseline, 0.01);
  // Only the figure joins the accent group.
  EXPECT_TRUE(value.accentable);
  EXPECT_FALSE(label.accentable);
  EXPECT_FALSE(badge.accentable);
}

TEST(Metric, ALongFigureShrinksToHalfBeforeItIsCutAndTheBadgeStaysWhole) {
  const ui::Layout l =
      inWidget(Metric("Revenue", "$1,234,567.89", -3.2, WidgetType::hero, kLight), kSmall);
  const auto value = textNamed(l, "$1,234,567.89").run;
  EXPECT_LT(value.scale, 1);
  EXPECT_GE(value.scale, 0.5);
  EXPECT_FALSE(textNamed(l, "\u21933%").run.truncated);
  EXPECT_LE(textNamed(l, "\u21933%").frame.maxX(), 170 - 16 + 0.01);
}

TEST(Online, ShowsTheCountEvenAtZeroAndOnlyTheDotWithoutIt) {
  const ui::Layout zero = inWidget(Online(0, true, kDark).tag("online"), kSmall);
  const auto text = textNamed(zero, "0 now");
  EXPECT_EQ(text.run.color, Ink(ColorScheme::dark).liveText);
  EXPECT_TRUE(text.run.tabularDigits);
  EXPECT_NEAR(text.frame.x, frame(zero, "online").x + 6 + 4, 0.01);
  EXPECT_EQ(textNamed(inWidget(Online(1234, true, kLight), kSmall), "1,234 now").text, "1,234 now");

  const ui::Layout dotOnly = inWidget(Online(12, false, kLight).tag("online"), kSmall);
  EXPECT_TRUE(texts(dotOnly).empty());
  EXPECT_DOUBLE_EQ(frame(dotOnly, "online").width, 6);
  EXPECT_DOUBLE_EQ(frame(dotOnly, "online").height, 6);
}

}  // namespace
}  // namespace vx::present
