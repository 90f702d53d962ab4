#include <gtest/gtest.h>

#include "png_probe.hpp"
#include "ui/ui.hpp"

namespace vx::ui {
namespace {

using testing::near;
using testing::PngProbe;

TEST(WidgetFamily, SizesInPoints) {
  EXPECT_EQ(familySize(WidgetFamily::systemSmall), (Size{170, 170}));
  EXPECT_EQ(familySize(WidgetFamily::systemMedium), (Size{364, 170}));
  EXPECT_EQ(familySize(WidgetFamily::systemLarge), (Size{364, 382}));
  EXPECT_EQ(familySize(WidgetFamily::systemExtraLarge), (Size{748, 382}));
}

TEST(WidgetFamily, RawValuesRoundTrip) {
  for (auto f : {WidgetFamily::systemSmall, WidgetFamily::systemMedium, WidgetFamily::systemLarge,
                 WidgetFamily::systemExtraLarge}) {
    EXPECT_EQ(widgetFamilyFromRaw(rawValue(f)), f);
  }
  EXPECT_EQ(widgetFamilyFromRaw("systemHuge"), std::nullopt);
}

TEST(WidgetFamily, ContainerInsetsContentBySixteenPointsAndFillsTheBackground) {
  const Size size = familySize(WidgetFamily::systemMedium);
  auto filling = widgetContainer(rectangle().tag("content"), rectangle().tag("bg"));
  const Layout l = layout(filling, size);
  EXPECT_EQ(*l.frameOf("content"), (Rect{16, 16, 364 - 32, 170 - 32}));
  EXPECT_EQ(*l.frameOf("bg"), (Rect{0, 0, 364, 170}));

  // Content smaller than the space left is centred in it.
  const Layout small = layout(widgetContainer(rectangle().frame(100, 50).tag("c"), empty()), size);
  EXPECT_EQ(*small.frameOf("c"), (Rect{132, 60, 100, 50}));
}

TEST(WidgetFamily, ContainerBackgroundIsLeftOutInAccentedMode) {
  const Color background = Color::rgb24(0x1c1c1e);
  auto widget = widgetContainer(empty(), rectangle().fill(background));
  const Size size = familySize(WidgetFamily::systemSmall);
  auto full = render(widget, size, ImageFormat::png);
  RenderOptions o;
  o.mode = RenderingMode::accented;
  auto accented = render(widget, size, ImageFormat::png, o);
  ASSERT_TRUE(full && accented);
  EXPECT_TRUE(near(PngProbe(full->bytes).at(5, 5), background));
  EXPECT_DOUBLE_EQ(PngProbe(accented->bytes).at(5, 5).opacity, 0);
}

}  // namespace
}  // namespace vx::ui
