// A widget built from every component, drawn in each scheme, format and rendering mode.
#include <gtest/gtest.h>

#include "component_support.hpp"
#include "present/change.hpp"
#include "present/deep_link.hpp"
#include "present/empty_state.hpp"
#include "present/favicon.hpp"
#include "present/list_row.hpp"
#include "present/metric.hpp"
#include "present/widget_background.hpp"
#include "present/widget_header.hpp"
#include "present/widget_type.hpp"
#include "ui/png_probe.hpp"

namespace vx::present {
namespace {

using testing::acme;
using testing::kLarge;
using testing::near;
using testing::PngProbe;

ui::Element widget(const Environment& env) {
  const ui::Element rows = ui::column(
      {ListRow(acme(), ui::text("Acme"), ui::text("1,204 visitors"),
               Change(4.0, WidgetType::change, env), env)
           .link(projectLink("acme")),
       ListRow(std::nullopt, ui::text("Inbox"), ui::text("2 waiting"), ui::text("5m"), env)});
  return ui::widgetContainer(
      ui::column({WidgetHeader(ui::text("Projects"), 3, "7 days", env), ui::gap(4),
                  Metric("Visitors", "888", -2.0, WidgetType::hero, env).tag("metric"), rows,
                  EmptyState("Nothing waiting", env)})
          .align(ui::HAlign::leading)
          .link(projectGoalsLink("acme")),
      WidgetBackground(env));
}

// Whether any pixel inside `r` (points, drawn at scale 2) is close to `c`.
bool anyPixelNear(const PngProbe& probe, const ui::Rect& r, ui::Color c) {
  for (int y = static_cast<int>(r.y * 2); y < static_cast<int>(r.maxY() * 2); ++y) {
    for (int x = static_cast<int>(r.x * 2); x < static_cast<int>(r.maxX() * 2); ++x) {
      if (near(probe.at(x, y), c, 8.0 / 255)) return true;
    }
  }
  return false;
}

TEST(RenderModes, EveryFormatSchemeAndModeDrawsWithTheLinks) {
  for (ColorScheme scheme : {ColorScheme::light, ColorScheme::dark}) {
    const ui::Layout l = ui::layout(widget({scheme, std::nullopt}), kLarge);
    for (ui::RenderingMode mode : {ui::RenderingMode::fullColor, ui::RenderingMode::accented}) {
      ui::RenderOptions options;
      options.mode = mode;
      for (ui::ImageFormat format :
           {ui::ImageFormat::png, ui::ImageFormat::svg, ui::ImageFormat::pdf}) {
        const auto drawn = ui::render(l, format, options);
        ASSERT_TRUE(drawn) << rawValue(scheme) << " " << ui::rawValue(format);
        EXPECT_GT(drawn->bytes.size(), 1000u);
        ASSERT_EQ(drawn->links.size(), 2u);
        EXPECT_EQ(drawn->links[0].url,
                  "vantorix://open/app/projects/acme/analytics?project-settings=analytics.goals");
        EXPECT_EQ(drawn->links[1].url, "vantorix://open/app/projects/acme");
      }
    }
  }
}

TEST(RenderModes, AccentedModeTintsOnlyTheFigure) {
  const ui::Layout l =
      ui::layout(widget({ColorScheme::dark, {}, ui::RenderingMode::accented}), kLarge);
  ui::RenderOptions options;
  options.mode = ui::RenderingMode::accented;
  const auto png = ui::render(l, ui::ImageFormat::png, options);
  ASSERT_TRUE(png);
  PngProbe probe(png->bytes);
  // No background: the corner is empty.
  EXPECT_DOUBLE_EQ(probe.at(1, 1).opacity, 0);
  const ui::Rect figure = testing::textNamed(l, "888").frame;
  const ui::Rect label = testing::textNamed(l, "Visitors").frame;
  EXPECT_TRUE(anyPixelNear(probe, figure, options.tint));
  EXPECT_FALSE(anyPixelNear(probe, label, options.tint));
  // In the one plain colour the secondary label stays dimmer than the primary title.
  EXPECT_LT(testing::textNamed(l, "Visitors").run.color.opacity,
            testing::textNamed(l, "Acme").run.color.opacity - 0.25);

  // In full colour the same figure is the scheme's primary on its background.
  const auto full = ui::render(l, ui::ImageFormat::png);
  ASSERT_TRUE(full);
  PngProbe fullProbe(full->bytes);
  const Ink ink(ColorScheme::dark);
  EXPECT_TRUE(near(fullProbe.at(1, 1), ink.background));
  EXPECT_TRUE(anyPixelNear(fullProbe, figure, ink.primary));
  EXPECT_FALSE(anyPixelNear(fullProbe, figure, options.tint));
}

}  // namespace
}  // namespace vx::present
