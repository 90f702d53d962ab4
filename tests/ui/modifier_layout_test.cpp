#include <gtest/gtest.h>

#include "layout_support.hpp"
#include "ui/layout.hpp"

namespace vx::ui {
namespace {

using testing::frame;

Frame rowBounds() {
  Frame f;
  f.minHeight = 44;
  f.maxHeight = 56;
  return f;
}

TEST(ModifierLayout, FrameWithMinimumAndMaximumClampsTheOffer) {
  auto within = [](double offered) {
    return layout(column({rectangle().frame(10, 20).frame(rowBounds()).tag("f"), spacer()})
                      .frame(100, offered, Alignment::topLeading),
                  {300, 500});
  };
  EXPECT_DOUBLE_EQ(frame(within(400), "f").height, 56);  // grows to its maximum
  EXPECT_DOUBLE_EQ(frame(within(50), "f").height, 50);   // takes what is offered
  EXPECT_DOUBLE_EQ(frame(within(30), "f").height, 44);   // never below its minimum
}

TEST(ModifierLayout, FrameAtIdealSizeClampsItsContent) {
  auto l = layout(rectangle().frame(10, 20).frame(rowBounds()).tag("f").fixedSize(), {300, 500});
  EXPECT_DOUBLE_EQ(frame(l, "f").height, 44);
  EXPECT_DOUBLE_EQ(frame(l, "f").width, 10);
}

TEST(ModifierLayout, InfiniteMaximumTakesAllOfferedAndAlignsContent) {
  auto l =
      layout(text("Hi").tag("t").fillContainer(Alignment::bottomTrailing).tag("f"), {200, 100});
  EXPECT_EQ(frame(l, "f"), (Rect{0, 0, 200, 100}));
  EXPECT_NEAR(frame(l, "t").maxX(), 200, 0.01);
  EXPECT_NEAR(frame(l, "t").maxY(), 100, 0.01);
}

TEST(ModifierLayout, FixedFrameIsExactWhateverTheContent) {
  auto l =
      layout(text("A fairly long text").lineLimit(1).tag("t").frame(40, 20).tag("f"), {300, 300});
  EXPECT_DOUBLE_EQ(frame(l, "f").width, 40);
  EXPECT_DOUBLE_EQ(frame(l, "f").height, 20);
  EXPECT_LE(frame(l, "t").width, 40.01);
}

TEST(ModifierLayout, MinimumAboveMaximumMeansTheMinimum) {
  Frame f;
  f.minWidth = 50;
  f.maxWidth = 30;
  auto l = layout(rectangle().frame(f).tag("f"), {300, 10});
  EXPECT_DOUBLE_EQ(frame(l, "f").width, 50);
}

TEST(ModifierLayout, PaddingInsetsTheOfferAndOffsetsTheContent) {
  Insets in{8, 4, 2, 16};
  auto l = layout(rectangle().tag("r").padding(in).tag("p").fixedSize(false, false), {100, 50});
  EXPECT_EQ(frame(l, "p"), (Rect{0, 0, 100, 50}));
  EXPECT_EQ(frame(l, "r"), (Rect{4, 8, 80, 40}));
}

TEST(ModifierLayout, PaddingOnChosenEdgesOnly) {
  auto l = layout(rectangle().frame(10, 10).tag("r").padding(Edge::top, 12).tag("p").fixedSize(),
                  {100, 100});
  EXPECT_DOUBLE_EQ(frame(l, "p").height, 22);
  EXPECT_DOUBLE_EQ(frame(l, "p").width, 10);
  EXPECT_DOUBLE_EQ(frame(l, "r").y - frame(l, "p").y, 12);
}

TEST(ModifierLayout, BackgroundTakesTheSizeOfWhatItIsBehind) {
  auto l = layout(text("Tile").tag("t").padding(6).background(roundedRectangle(4).tag("bg")),
                  {200, 200});
  const Rect bg = frame(l, "bg");
  const Rect t = frame(l, "t");
  EXPECT_NEAR(bg.width, t.width + 12, 0.01);
  EXPECT_NEAR(bg.height, t.height + 12, 0.01);
}

TEST(ModifierLayout, RootSmallerThanTheCanvasIsCentred) {
  auto l = layout(rectangle().frame(20, 10).tag("r"), {100, 50});
  EXPECT_EQ(frame(l, "r"), (Rect{40, 20, 20, 10}));
}

TEST(ModifierLayout, ImageThatDoesNotLoadIsReplacedByItsFallback) {
  auto l = layout(image("/nonexistent/favicon.png")
                      .resizable()
                      .fallback(text("A").tag("letter"))
                      .frame(28, 28)
                      .tag("icon"),
                  {100, 100});
  EXPECT_TRUE(l.frameOf("letter").has_value());
  EXPECT_DOUBLE_EQ(frame(l, "icon").width, 28);
}

TEST(ModifierLayout, SymbolsAreKnownByTheirSystemNames) {
  EXPECT_EQ(symbolNamed("checkmark.circle.fill"), Symbol::checkmarkCircleFill);
  EXPECT_EQ(rawValue(Symbol::checkmarkCircleFill), "checkmark.circle.fill");
  EXPECT_EQ(symbolNamed("star.fill"), std::nullopt);
}

TEST(ModifierLayout, SymbolIsSizedByTheInheritedFont) {
  auto small = layout(symbol(Symbol::checkmarkCircleFill).font(13).tag("s"), {100, 100});
  auto large = layout(symbol(Symbol::checkmarkCircleFill).font(26).tag("s"), {100, 100});
  EXPECT_NEAR(frame(large, "s").width, 2 * frame(small, "s").width, 0.01);
}

}  // namespace
}  // namespace vx::ui
