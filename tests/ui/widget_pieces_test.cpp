// The widgets' header and list row, composed from the engine's vocabulary the way the views build
// them, laid out inside a real widget: every piece must land where a stack layout puts it.
#include <gtest/gtest.h>

#include "layout_support.hpp"
#include "ui/ui.hpp"

namespace vx::ui {
namespace {

using testing::frame;
using testing::idealWidth;
using testing::textRun;

const Color kPrimary = Color::rgb24(0x0f172a);
const Color kSecondary = Color::rgb24(0x64748b);
const Color kLive = Color::rgb24(0x10b981);
const Color kLiveText = Color::rgb24(0x047857);

Element online(const std::string& count) {
  return row({circle().fill(kLive).frame(6, 6).tag("dot"), text(count + " now")
                                                               .font(12, Weight::medium)
                                                               .tabularDigits()
                                                               .color(kLiveText)
                                                               .lineLimit(1)
                                                               .fixedSize()
                                                               .tag("online")})
      .spacing(4)
      .align(VAlign::center);
}

// A header row, exactly 20 high: leading title that may shrink a little, at least 4 points of
// space, the online indicator with 4 points after it, then the trailing text.
Element header(const std::string& title, const std::string& trailing) {
  return row({text(title)
                  .font(13, Weight::semibold)
                  .color(kPrimary)
                  .lineLimit(1)
                  .minScale(0.85)
                  .tag("leading"),
              spacer(4), online("12").padding(Edge::trailing, 4).tag("indicator"),
              text(trailing).color(kSecondary).tag("trailing")})
      .spacing(6)
      .align(VAlign::center)
      .font(12, Weight::medium)
      .tabularDigits()
      .lineLimit(1)
      .height(20)
      .tag("header");
}

// A list row, 44 to 56 high: a 28-point icon, the title and subtitle column (served first), at
// least 8 points of space, and a trailing text that is never cut.
Element listRow(const std::string& title, const std::string& subtitle, const std::string& wait) {
  return row({roundedRectangle(7).fill(kLive).frame(28, 28).tag("icon"),
              column(
                  {text(title).font(14, Weight::semibold).color(kPrimary).lineLimit(1).tag("title"),
                   text(subtitle)
                       .font(12, Weight::medium)
                       .color(kSecondary)
                       .tabularDigits()
                       .lineLimit(1)
                       .tag("subtitle")})
                  .spacing(2)
                  .align(HAlign::leading)
                  .layoutPriority(1)
                  .tag("texts"),
              spacer(8),
              text(wait)
                  .font(12, Weight::medium)
                  .tabularDigits()
                  .color(kSecondary)
                  .fixedSize()
                  .tag("wait")})
      .spacing(10)
      .align(VAlign::center)
      .frame({.minHeight = 44, .maxHeight = 56})
      .tag("row");
}

// The sizes the host gives the widget families.
constexpr Size kSmall{170, 170};
constexpr Size kMedium{364, 170};
constexpr Size kLarge{364, 382};

Layout inWidget(const Element& content, Size family) {
  return layout(widgetContainer(column({content, spacer()}).align(HAlign::leading),
                                rectangle().fill(Color::white())),
                family);
}

TEST(WidgetPieces, HeaderFillsTheWidthAtExactlyTwentyPointsWithItsPiecesInOrder) {
  const Layout l = inWidget(header("Projects", "28 days \u00b7 14:05"), kMedium);
  const Rect h = frame(l, "header");
  EXPECT_DOUBLE_EQ(h.height, 20);
  EXPECT_DOUBLE_EQ(h.x, 16);
  EXPECT_DOUBLE_EQ(h.y, 16);
  EXPECT_NEAR(h.width, 364 - 32, 0.01);

  const Rect lead = frame(l, "leading");
  const Rect indicator = frame(l, "indicator");
  const Rect trailing = frame(l, "trailing");
  EXPECT_DOUBLE_EQ(lead.x, 16);
  EXPECT_FALSE(textRun(l, "leading").truncated);
  EXPECT_DOUBLE_EQ(textRun(l, "leading").scale, 1);
  // The spacer takes the surplus: the indicator and trailing text sit at the right edge.
  EXPECT_NEAR(trailing.maxX(), 364 - 16, 0.01);
  EXPECT_NEAR(trailing.x - indicator.maxX(), 6, 0.01);
  EXPECT_NEAR(indicator.maxX() - frame(l, "online").maxX(), 4, 0.01);
  EXPECT_GT(indicator.x - lead.maxX(), 6 + 4 + 6);
  // Centred in the 20-point row, each within it.
  for (const char* tag : {"leading", "dot", "online", "trailing"}) {
    const Rect r = frame(l, tag);
    EXPECT_NEAR(r.y + r.height / 2, h.y + 10, 0.51) << tag;
    EXPECT_GE(r.y, h.y - 0.01) << tag;
    EXPECT_LE(r.maxY(), h.maxY() + 0.01) << tag;
  }
  EXPECT_DOUBLE_EQ(frame(l, "dot").width, 6);
  // Inherited settings reach the trailing text; its own colour beats the inherited one.
  EXPECT_DOUBLE_EQ(textRun(l, "trailing").fontSize, 12);
  EXPECT_EQ(textRun(l, "trailing").weight, Weight::medium);
  EXPECT_TRUE(textRun(l, "trailing").tabularDigits);
  EXPECT_EQ(textRun(l, "trailing").color, kSecondary);
  EXPECT_DOUBLE_EQ(textRun(l, "leading").fontSize, 13);
}

TEST(WidgetPieces, HeaderInASmallWidgetShrinksThenCutsTheTitleButKeepsTheIndicatorWhole) {
  const Layout l = inWidget(header("A project with a long name", "14:05"), kSmall);
  const Rect h = frame(l, "header");
  EXPECT_DOUBLE_EQ(h.height, 20);
  EXPECT_NEAR(h.width, 170 - 32, 0.01);
  const auto& lead = textRun(l, "leading");
  EXPECT_TRUE(lead.truncated);
  EXPECT_DOUBLE_EQ(lead.scale, 0.85);
  EXPECT_FALSE(textRun(l, "online").truncated);
  EXPECT_NEAR(frame(l, "online").width, idealWidth(online("12")) - 6 - 4, 0.01);
  // Nothing spills over the widget's right edge, and the spacer keeps at least its minimum.
  EXPECT_LE(frame(l, "trailing").maxX(), 170 - 16 + 0.01);
  EXPECT_GE(frame(l, "indicator").x - frame(l, "leading").maxX(), 6 + 4 + 6 - 0.01);
}

TEST(WidgetPieces, ListRowServesItsTextsFirstAndKeepsTheWaitWhole) {
  const std::string wait = "3h 20m";
  const Layout l = inWidget(
      listRow("Visitor from Lisbon asking about the invoice", "example.com", wait), kMedium);
  const Rect r = frame(l, "row");
  EXPECT_GE(r.height, 44);
  EXPECT_LE(r.height, 56);
  EXPECT_NEAR(r.width, 364 - 32, 0.01);

  const Rect icon = frame(l, "icon");
  EXPECT_DOUBLE_EQ(icon.width, 28);
  EXPECT_DOUBLE_EQ(icon.height, 28);
  EXPECT_DOUBLE_EQ(icon.x, 16);
  EXPECT_NEAR(icon.y + 14, r.y + r.height / 2, 0.01);

  const Rect texts = frame(l, "texts");
  EXPECT_NEAR(texts.x, icon.maxX() + 10, 0.01);
  EXPECT_TRUE(textRun(l, "title").truncated);
  EXPECT_FALSE(textRun(l, "subtitle").truncated);
  EXPECT_NEAR(frame(l, "subtitle").y - frame(l, "title").maxY(), 2, 0.01);
  EXPECT_DOUBLE_EQ(frame(l, "subtitle").x, texts.x);

  const Rect trailing = frame(l, "wait");
  EXPECT_FALSE(textRun(l, "wait").truncated);
  EXPECT_NEAR(trailing.width, idealWidth(text(wait).font(12, Weight::medium).tabularDigits()),
              0.01);
  EXPECT_NEAR(trailing.maxX(), 364 - 16, 0.01);
  // The texts took all they could: the spacer's minimum and the spacing are left over, and at
  // most the part of a character that the "…" did not need.
  EXPECT_GE(trailing.x - texts.maxX(), 10 + 8 + 10 - 0.01);
  EXPECT_LT(trailing.x - texts.maxX(), 10 + 8 + 10 + 8);
}

TEST(WidgetPieces, ListRowWithShortTextsLeavesTheSurplusToItsSpacer) {
  const Layout l = inWidget(listRow("Acme", "12 visitors", "5m"), kLarge);
  EXPECT_FALSE(textRun(l, "title").truncated);
  EXPECT_NEAR(frame(l, "texts").width,
              idealWidth(text("12 visitors").font(12, Weight::medium).tabularDigits()), 0.01);
  EXPECT_NEAR(frame(l, "wait").maxX(), 364 - 16, 0.01);
  const Rect r = frame(l, "row");
  EXPECT_GE(r.height, 44);
  EXPECT_LE(r.height, 56);
}

TEST(WidgetPieces, ListRowsStackedInAColumnStayWithinTheirHeightBounds) {
  Elements rows;
  for (int i = 0; i < 6; ++i) {
    rows.push_back(listRow("Project " + std::to_string(i), "1,204 visitors", "2d")
                       .tag("row" + std::to_string(i)));
  }
  const Layout l = inWidget(column(rows).align(HAlign::leading), kLarge);
  double bottom = 16;
  for (int i = 0; i < 6; ++i) {
    const Rect r = frame(l, "row" + std::to_string(i));
    EXPECT_GE(r.height, 44) << i;
    EXPECT_LE(r.height, 56) << i;
    EXPECT_NEAR(r.y, bottom, 0.01) << i;
    bottom = r.maxY();
  }
  EXPECT_LE(bottom, 382 - 16 + 0.01);
}

}  // namespace
}  // namespace vx::ui
