#include <gtest/gtest.h>

#include "png_probe.hpp"
#include "ui/ui.hpp"

namespace vx::ui {
namespace {

using testing::near;
using testing::PngProbe;

TEST(WidgetContainer, ContainerInsetsContentBySixteenPointsAndFillsTheBackground) {
  const Size size{364, 170};
  auto filling = widgetContainer(rectangle().tag("content"), rectangle().tag("bg"));
  const Layout l = layout(filling, size);
  EXPECT_EQ(*l.frameOf("content"), (Rect{16, 16, 364 - 32, 170 - 32}));
  EXPECT_EQ(*l.frameOf("bg"), (Rect{0, 0, 364, 170}));

  // Content smaller than the space left is centred in it.
  const Layout small = layout(widgetContainer(rectangle().frame(100, 50).tag("c"), empty()), size);
  EXPECT_EQ(*small.frameOf("c"), (Rect{132, 60, 100, 50}));
}

TEST(WidgetContainer, ContainerBackgroundIsLeftOutInAccentedMode) {
  const Color background = Color::rgb24(0x1c1c1e);
  auto widget = widgetContainer(empty(), rectangle().fill(background));
  const Size size{170, 170};
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
