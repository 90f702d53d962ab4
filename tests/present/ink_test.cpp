// The palette painted: the scheme picks the column, and translucent entries blend as opacities.
#include <gtest/gtest.h>

#include "present/ink.hpp"
#include "ui/png_probe.hpp"
#include "ui/ui.hpp"

namespace vx::present {
namespace {

using testing::near;
using testing::PngProbe;
using ui::Color;

// Three 10-point squares side by side, drawn at scale 1 on the scheme's background.
Color paintedAt(const Ink& ink, ui::Color left, ui::Color middle, int x) {
  const ui::Element strip =
      ui::row({ui::rectangle().fill(left).frame(10, 10), ui::rectangle().fill(middle).frame(10, 10),
               ui::rectangle().fill(ink.background).frame(10, 10)})
          .background(ui::rectangle().fill(ink.background));
  ui::RenderOptions options;
  options.scale = 1;
  const auto png = ui::render(strip, {30, 10}, ui::ImageFormat::png, options);
  EXPECT_TRUE(png.has_value());
  PngProbe probe(png ? png->bytes : std::string());
  return probe.ok() ? probe.at(x, 5) : Color::clear();
}

TEST(Ink, OnlyTheDarkSchemeSelectsTheDarkColumn) {
  EXPECT_EQ(colorSchemeFromRaw("dark"), ColorScheme::dark);
  for (const char* other : {"light", "", "Dark", "unspecified"}) {
    EXPECT_EQ(colorSchemeFromRaw(other), ColorScheme::light) << other;
  }
  EXPECT_TRUE(Ink(ColorScheme::dark).dark);
  EXPECT_FALSE(Ink(ColorScheme::light).dark);
}

TEST(Ink, LightColumnPaintsAsWritten) {
  const Ink ink(ColorScheme::light);
  EXPECT_TRUE(near(paintedAt(ink, ink.primary, ink.liveText, 5), Color::rgb24(0x0f172a)));
  EXPECT_TRUE(near(paintedAt(ink, ink.primary, ink.liveText, 15), Color::rgb24(0x047857)));
  EXPECT_TRUE(near(paintedAt(ink, ink.primary, ink.liveText, 25), Color::white()));
  // 16 % cyan over white, and the previous line at 55 % slate.
  EXPECT_TRUE(near(paintedAt(ink, ink.accentSoft, ink.previous, 5), Color::rgb8(215, 243, 248)));
  EXPECT_TRUE(near(paintedAt(ink, ink.accentSoft, ink.previous, 15), Color::rgb8(170, 179, 191)));
}

TEST(Ink, DarkColumnPaintsAsWritten) {
  const Ink ink(ColorScheme::dark);
  EXPECT_TRUE(near(paintedAt(ink, ink.primary, ink.action, 5), Color::rgb24(0xf5f5f5)));
  EXPECT_TRUE(near(paintedAt(ink, ink.primary, ink.action, 15), Color::rgb24(0x22d3ee)));
  EXPECT_TRUE(near(paintedAt(ink, ink.primary, ink.action, 25), Color::rgb24(0x1c1c1e)));
  // The dark previous line is opaque; the area under the curve is 24 % cyan over #1c1c1e.
  EXPECT_TRUE(near(paintedAt(ink, ink.previous, ink.accentSoft, 5), Color::rgb24(0x71717a)));
  EXPECT_TRUE(near(paintedAt(ink, ink.previous, ink.accentSoft, 15), Color::rgb8(23, 65, 74)));
}

}  // namespace
}  // namespace vx::present
