#include <gtest/gtest.h>

#include "layout_support.hpp"
#include "ui/layout.hpp"

namespace vx::ui {
namespace {

using testing::frame;
using testing::idealWidth;
using testing::textRun;

const std::string kLong = "A rather long project name that cannot fit";

TEST(StackLayout, FlexibleChildrenShareWhatIsLeftAfterSpacing) {
  auto l = layout(row({rectangle().tag("a"), rectangle().tag("b")}).spacing(10), {100, 40});
  EXPECT_DOUBLE_EQ(frame(l, "a").width, 45);
  EXPECT_DOUBLE_EQ(frame(l, "b").x, 55);
  EXPECT_DOUBLE_EQ(frame(l, "b").height, 40);
}

TEST(StackLayout, LeastFlexibleChildIsServedFirst) {
  // The fixed-width child takes its 70 before the rectangle gets an equal share.
  auto l = layout(row({rectangle().tag("flex"), rectangle().width(70).tag("fixed")}), {100, 20});
  EXPECT_DOUBLE_EQ(frame(l, "fixed").width, 70);
  EXPECT_DOUBLE_EQ(frame(l, "flex").width, 30);
}

TEST(StackLayout, SpacerKeepsItsMinimumWhenTheRowIsTooNarrow) {
  auto l = layout(row({text(kLong).lineLimit(1).tag("name"), spacer(20), text("9").tag("n")}),
                  {150, 40});
  const Rect name = frame(l, "name");
  const Rect n = frame(l, "n");
  // At least the minimum; a little more where the cut text ends short of its offer.
  EXPECT_GE(n.x - name.maxX(), 20 - 0.01);
  EXPECT_LT(n.x - name.maxX(), 30);
  EXPECT_TRUE(textRun(l, "name").truncated);
  EXPECT_NEAR(n.maxX(), 150, 0.01);
}

TEST(StackLayout, SpacerTakesTheSurplusAndPushesTrailingContentToTheEdge) {
  auto l = layout(row({text("Left").tag("l"), spacer(4), text("Right").tag("r")}), {300, 40});
  EXPECT_DOUBLE_EQ(frame(l, "l").x, 0);
  EXPECT_NEAR(frame(l, "r").maxX(), 300, 0.01);
  EXPECT_FALSE(textRun(l, "l").truncated);
}

TEST(StackLayout, GapKeepsItsLengthWhereASpacerWouldStretch) {
  auto l = layout(column({text("Head").tag("head"), gap(4).tag("gap"), text("Foot").tag("foot")})
                      .align(HAlign::leading)
                      .frame({.maxHeight = infinity}),
                  {200, 300});
  EXPECT_DOUBLE_EQ(frame(l, "gap").height, 4);
  EXPECT_DOUBLE_EQ(frame(l, "gap").width, 0);
  EXPECT_DOUBLE_EQ(frame(l, "foot").y, frame(l, "head").maxY() + 4);
  // In a row it is as wide as asked, and a row too narrow for everything still keeps it.
  auto r =
      layout(row({text(kLong).lineLimit(1).tag("name"), gap(12).tag("gap"), text("9").tag("n")}),
             {150, 40});
  EXPECT_DOUBLE_EQ(frame(r, "gap").width, 12);
  EXPECT_DOUBLE_EQ(frame(r, "n").x, frame(r, "name").maxX() + 12);
  EXPECT_TRUE(textRun(r, "name").truncated);
}

TEST(StackLayout, SpacerInAColumnPushesTheFooterToTheBottom) {
  auto l = layout(column({text("Head"), spacer(), text("Foot").tag("foot")})
                      .align(HAlign::leading)
                      .fillContainer(Alignment::topLeading),
                  {200, 300});
  EXPECT_NEAR(frame(l, "foot").maxY(), 300, 0.01);
  EXPECT_DOUBLE_EQ(frame(l, "foot").x, 0);
}

TEST(StackLayout, HigherPriorityWinsTheSpaceItsSiblingLoses) {
  const Element first = text(kLong).lineLimit(1);
  const Element second = text("Second fairly long label").lineLimit(1);
  // Room for the second text whole and the first text's "…", but not for both texts whole.
  auto plain = layout(row({first.tag("a"), second.tag("b")}), {220, 40});
  auto favoured = layout(row({first.tag("a"), second.layoutPriority(1).tag("b")}), {220, 40});

  EXPECT_TRUE(textRun(plain, "b").truncated);
  EXPECT_FALSE(textRun(favoured, "b").truncated);
  EXPECT_NEAR(frame(favoured, "b").width, idealWidth(second), 0.01);
  EXPECT_TRUE(textRun(favoured, "a").truncated);
  EXPECT_LE(frame(favoured, "b").maxX(), 220.01);
}

TEST(StackLayout, LowerPriorityKeepsItsMinimumWhileHigherPriorityIsServed) {
  // The favoured text would take all 200 points, but the other keeps room for its minimum.
  auto l = layout(row({text("x").lineLimit(1).tag("low"),
                       text(kLong + kLong).lineLimit(1).layoutPriority(1).tag("high")}),
                  {200, 40});
  EXPECT_TRUE(textRun(l, "high").truncated);
  EXPECT_EQ(textRun(l, "low").lines.at(0).text, "x");
  EXPECT_GE(frame(l, "high").x, frame(l, "low").maxX() - 0.01);
  EXPECT_LE(frame(l, "high").maxX(), 200.01);
}

TEST(StackLayout, FixedTextStaysWholeWhileItsNeighbourTruncates) {
  const Element action = text("Check tracking \u203a");
  auto l = layout(row({text(kLong).lineLimit(1).tag("name"), spacer(8),
                       action.minScale(0.5).fixedSize().tag("action")}),
                  {180, 40});
  EXPECT_TRUE(textRun(l, "name").truncated);
  EXPECT_FALSE(textRun(l, "action").truncated);
  EXPECT_DOUBLE_EQ(textRun(l, "action").scale, 1);
  EXPECT_NEAR(frame(l, "action").width, idealWidth(action), 0.01);
}

TEST(StackLayout, EmptyElementsTakeNeitherSpaceNorSpacing) {
  auto with = layout(
      row({rectangle().width(10).tag("a"), empty(), text(""), rectangle().width(10).tag("b")})
          .spacing(6),
      {100, 10});
  EXPECT_DOUBLE_EQ(frame(with, "b").x - frame(with, "a").x, 16);  // 10 + one spacing of 6
}

TEST(StackLayout, RowCentresChildrenVerticallyByDefaultAndTopAlignsOnRequest) {
  auto centred = layout(
      row({rectangle().frame(10, 40), rectangle().frame(10, 10).tag("s")}).fixedSize(), {100, 100});
  auto top = layout(row({rectangle().frame(10, 40), rectangle().frame(10, 10).tag("s")})
                        .align(VAlign::top)
                        .fixedSize()
                        .tag("row"),
                    {100, 100});
  EXPECT_DOUBLE_EQ(frame(centred, "s").y, 30 + 15);  // row of 40 centred in 100, then 15 down
  EXPECT_DOUBLE_EQ(frame(top, "s").y, frame(top, "row").y);
}

TEST(StackLayout, FirstTextBaselineLinesUpTextsOfDifferentSizes) {
  auto make = [](VAlign a) {
    return layout(row({text("1,234").font(30, Weight::semibold).tag("big"),
                       text("\u219112%").font(12, Weight::semibold).tag("small")})
                      .spacing(6)
                      .align(a),
                  {300, 100});
  };
  auto baseline = [](const Layout& l, const std::string& tag) {
    return frame(l, tag).y + textRun(l, tag).lines.front().baseline;
  };
  auto aligned = make(VAlign::firstTextBaseline);
  EXPECT_NEAR(baseline(aligned, "big"), baseline(aligned, "small"), 0.01);
  auto centred = make(VAlign::center);
  EXPECT_GT(std::abs(baseline(centred, "big") - baseline(centred, "small")), 1);
}

TEST(StackLayout, ColumnAlignsChildrenHorizontally) {
  auto l = layout(column({rectangle().frame(100, 10), rectangle().frame(20, 10).tag("s")})
                      .align(HAlign::trailing)
                      .fixedSize()
                      .tag("col"),
                  {300, 300});
  EXPECT_DOUBLE_EQ(frame(l, "s").maxX(), frame(l, "col").maxX());
  EXPECT_DOUBLE_EQ(frame(l, "s").y - frame(l, "col").y, 10);
}

TEST(StackLayout, OverlayStacksChildrenOnTheSameOffer) {
  auto l = layout(overlay({rectangle().frame(40, 40), circle().frame(10, 10).tag("dot")},
                          Alignment::bottomTrailing)
                      .fixedSize()
                      .tag("z"),
                  {100, 100});
  EXPECT_DOUBLE_EQ(frame(l, "z").width, 40);
  EXPECT_DOUBLE_EQ(frame(l, "dot").maxX(), frame(l, "z").maxX());
  EXPECT_DOUBLE_EQ(frame(l, "dot").maxY(), frame(l, "z").maxY());
}

TEST(StackLayout, PriorityIsKeptThroughModifiers) {
  const Element second = text("Second fairly long label").lineLimit(1);
  auto l = layout(row({text(kLong).lineLimit(1).tag("a"),
                       second.layoutPriority(1).padding(Edge::leading, 4).frame({}).tag("b")}),
                  {230, 40});
  EXPECT_FALSE(textRun(l, "b").truncated);
  EXPECT_TRUE(textRun(l, "a").truncated);
}

TEST(StackLayout, IdealSizeOfARowIsItsChildrenAtTheirIdealSizes) {
  auto l = layout(row({text("One").tag("a"), spacer(12), text("Two").tag("b")})
                      .spacing(4)
                      .fixedSize()
                      .tag("row"),
                  {500, 100});
  const double expected = idealWidth(text("One")) + 4 + 12 + 4 + idealWidth(text("Two"));
  EXPECT_NEAR(frame(l, "row").width, expected, 0.01);
}

TEST(StackLayout, MeasuringAFlexibleRowWithUnlimitedSpaceStaysUnlimited) {
  // A row of flexible shapes inside a row: the inner row is infinitely flexible, so the outer
  // row splits its width evenly between it and its sibling.
  auto inner = row({rectangle(), rectangle()}).tag("inner");
  auto l = layout(row({inner, rectangle().tag("other")}), {300, 20});
  EXPECT_DOUBLE_EQ(frame(l, "inner").width, 150);
  EXPECT_DOUBLE_EQ(frame(l, "other").width, 150);
}

}  // namespace
}  // namespace vx::ui
