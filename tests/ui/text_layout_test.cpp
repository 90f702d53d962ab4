#include <gtest/gtest.h>

#include "layout_support.hpp"
#include "ui/layout.hpp"

namespace vx::ui {
namespace {

using testing::frame;
using testing::idealWidth;
using testing::textRun;

const std::string kSentence = "If the site is live, its tracking code may be missing.";

TEST(TextLayout, FitsWholeAtFullSizeWhenThereIsRoom) {
  auto l = layout(text("Visitors").font(12, Weight::medium).tag("t"), {300, 100});
  const auto& run = textRun(l, "t");
  EXPECT_FALSE(run.truncated);
  EXPECT_DOUBLE_EQ(run.scale, 1);
  ASSERT_EQ(run.lines.size(), 1u);
  EXPECT_EQ(run.lines[0].text, "Visitors");
}

TEST(TextLayout, ShrinksTowardsItsMinimumScaleBeforeTruncating) {
  const Element figure = text("128,400").font(30, Weight::semibold).lineLimit(1);
  const double ideal = idealWidth(figure);
  auto l = layout(figure.minScale(0.5).tag("t").fixedSize(false, true), {ideal * 0.8, 100});
  const auto& run = textRun(l, "t");
  EXPECT_FALSE(run.truncated);
  EXPECT_LT(run.scale, 1);
  EXPECT_GE(run.scale, 0.5);
  EXPECT_LE(frame(l, "t").width, ideal * 0.8 + 0.01);
  EXPECT_EQ(run.lines[0].text, "128,400");
  // Shrinking keeps close to the offer: it does not give up more than a few percent.
  EXPECT_GT(frame(l, "t").width, ideal * 0.8 * 0.95);
}

TEST(TextLayout, TruncatesAtItsMinimumScaleWhenShrinkingIsNotEnough) {
  const Element figure = text("128,400 visitors").font(30, Weight::semibold).lineLimit(1);
  const double ideal = idealWidth(figure);
  auto l = layout(figure.minScale(0.5).tag("t").fixedSize(false, true), {ideal * 0.3, 100});
  const auto& run = textRun(l, "t");
  EXPECT_TRUE(run.truncated);
  EXPECT_DOUBLE_EQ(run.scale, 0.5);
  EXPECT_DOUBLE_EQ(run.fontSize, 15);
  EXPECT_EQ(run.lines[0].text.substr(run.lines[0].text.size() - 3), "\u2026");
}

TEST(TextLayout, WithoutMinimumScaleTruncatesWithTailEllipsis) {
  auto l = layout(text("Conversations waiting").lineLimit(1).tag("t"), {90, 100});
  const auto& run = textRun(l, "t");
  EXPECT_TRUE(run.truncated);
  EXPECT_DOUBLE_EQ(run.scale, 1);
  ASSERT_EQ(run.lines.size(), 1u);
  EXPECT_EQ(run.lines[0].text.rfind("Conv", 0), 0u);
  EXPECT_EQ(run.lines[0].text.substr(run.lines[0].text.size() - 3), "\u2026");
  EXPECT_LE(frame(l, "t").width, 90.01);
}

// A cut before "…" falls between whole characters as one sees them: never between a letter and
// its accent, nor inside a flag.
TEST(TextLayout, TruncationKeepsWholeCharacters) {
  const struct {
    std::string unit;
  } cases[] = {{"e\u0301"}, {"\U0001F1EB\U0001F1F7"}, {"\U0001F469\u200D\U0001F467"}};
  for (const auto& each : cases) {
    std::string name;
    for (int i = 0; i < 24; ++i) name += each.unit;
    auto l = layout(text(name).lineLimit(1).tag("t"), {90, 100});
    const auto& run = textRun(l, "t");
    ASSERT_TRUE(run.truncated) << each.unit;
    const std::string& shown = run.lines.at(0).text;
    ASSERT_GE(shown.size(), 3u);
    EXPECT_EQ(shown.substr(shown.size() - 3), "\u2026");
    EXPECT_EQ((shown.size() - 3) % each.unit.size(), 0u) << shown;
    EXPECT_EQ(name.rfind(shown.substr(0, shown.size() - 3), 0), 0u);
  }
}

TEST(TextLayout, EllipsisIsItsNarrowestForm) {
  auto l =
      layout(row({text("Conversations").lineLimit(1).tag("t")}).fixedSize(false, true), {0, 100});
  EXPECT_EQ(textRun(l, "t").lines.at(0).text, "\u2026");
  EXPECT_GT(frame(l, "t").width, 0);
}

TEST(TextLayout, WrapsWithinTheLineLimitAndEllipsizesTheLastLine) {
  const double width = 120;
  auto unlimited = layout(text(kSentence).tag("t"), {width, 400});
  auto limited = layout(text(kSentence).lineLimit(2).tag("t"), {width, 400});
  ASSERT_GT(textRun(unlimited, "t").lines.size(), 2u);
  EXPECT_FALSE(textRun(unlimited, "t").truncated);

  const auto& run = textRun(limited, "t");
  ASSERT_EQ(run.lines.size(), 2u);
  EXPECT_TRUE(run.truncated);
  EXPECT_EQ(run.lines[0].text, textRun(unlimited, "t").lines[0].text);
  EXPECT_EQ(run.lines[1].text.substr(run.lines[1].text.size() - 3), "\u2026");
  EXPECT_LE(frame(limited, "t").width, width + 0.01);
  // Two lines are exactly twice as tall as one.
  auto one = layout(text("x").tag("t"), {width, 400});
  EXPECT_NEAR(frame(limited, "t").height, 2 * frame(one, "t").height, 0.01);
}

TEST(TextLayout, OfferedHeightLimitsTheLinesToo) {
  auto one = layout(text("x").tag("t"), {100, 100});
  const double lineHeight = frame(one, "t").height;
  auto l = layout(text(kSentence).tag("t").frame(120, lineHeight * 2.5), {300, 300});
  EXPECT_EQ(textRun(l, "t").lines.size(), 2u);
  EXPECT_TRUE(textRun(l, "t").truncated);
}

TEST(TextLayout, MultilineAlignmentCentresEachLine) {
  auto l = layout(text(kSentence).multilineAlignment(HAlign::center).tag("t"), {120, 400});
  const auto& run = textRun(l, "t");
  const double width = frame(l, "t").width;
  ASSERT_GT(run.lines.size(), 1u);
  for (const auto& line : run.lines) {
    EXPECT_NEAR(line.x + line.width / 2, width / 2, 0.01) << line.text;
  }
}

TEST(TextLayout, TabularDigitsGiveEveryDigitTheSameWidth) {
  auto widthOf = [](const std::string& s, bool tabular) {
    return idealWidth(text(s).font(12, Weight::medium).tabularDigits(tabular));
  };
  EXPECT_NEAR(widthOf("1111", true), widthOf("0000", true), 0.01);
  EXPECT_LT(widthOf("1111", false), widthOf("0000", false));
}

TEST(TextLayout, HeavierAndLargerFontsAreWider) {
  EXPECT_LT(idealWidth(text("Projects").font(12, Weight::medium)),
            idealWidth(text("Projects").font(12, Weight::semibold)));
  EXPECT_LT(idealWidth(text("Projects").font(12)), idealWidth(text("Projects").font(13)));
}

TEST(TextLayout, InnerSettingsWinOverInheritedOnes) {
  auto l = layout(column({text("a").tag("plain"), text("b").font(30).tag("own")})
                      .font(12, Weight::medium)
                      .color(Color::rgb24(0x64748b)),
                  {200, 200});
  EXPECT_DOUBLE_EQ(textRun(l, "plain").fontSize, 12);
  EXPECT_DOUBLE_EQ(textRun(l, "own").fontSize, 30);
  EXPECT_EQ(textRun(l, "own").color, Color::rgb24(0x64748b));
  // Repeated settings on one element: the first (closest to the text) wins.
  auto twice = layout(text("c").font(13).font(20).tag("t"), {200, 200});
  EXPECT_DOUBLE_EQ(textRun(twice, "t").fontSize, 13);
}

TEST(TextLayout, InvalidUtf8IsDrawnRatherThanRejected) {
  auto l = layout(text(std::string("ab\xff\xfe") + "cd").tag("t"), {200, 100});
  EXPECT_GT(frame(l, "t").width, 0);
  EXPECT_FALSE(textRun(l, "t").lines.at(0).text.empty());
}

TEST(TextLayout, ExplicitLineBreaksStartNewLinesAndCountAgainstTheLimit) {
  auto free = layout(text("Line one\nLine two\nLine three").tag("t"), {300, 300});
  ASSERT_EQ(textRun(free, "t").lines.size(), 3u);
  EXPECT_EQ(textRun(free, "t").lines[1].text, "Line two");
  auto limited = layout(text("Line one\nLine two\nLine three").lineLimit(2).tag("t"), {300, 300});
  const auto& run = textRun(limited, "t");
  ASSERT_EQ(run.lines.size(), 2u);
  EXPECT_TRUE(run.truncated);
  EXPECT_EQ(run.lines[1].text, "Line two\u2026");
}

TEST(TextLayout, ShapesWithoutPaintAndSymbolsTakeTheInheritedColour) {
  const Color live = Color::rgb24(0x10b981);
  auto l =
      layout(row({circle().frame(6, 6).tag("dot"), symbol(Symbol::checkmarkCircleFill).tag("sym")})
                 .color(live),
             {100, 100});
  const auto& dot =
      std::get<contents::Drawing>(l.find("dot")->children[0].box->children[0].box->content);
  EXPECT_EQ(dot.items.at(0).paint.color, live);
  const auto& sym = std::get<contents::SymbolDrawing>(l.find("sym")->children[0].box->content);
  EXPECT_EQ(sym.color, live);
}

}  // namespace
}  // namespace vx::ui
