#pragma once

#include <optional>

#include "host/widget_family.hpp"
#include "present/environment.hpp"
#include "present/ink.hpp"
#include "ui/element.hpp"
#include "ui/render.hpp"
#include "ui/render_options.hpp"

// Drawing one entry view the way the host shows it: at its family's size, in the host's colour
// scheme and rendering mode.
namespace vx::widgets {

struct DrawSettings {
  host::WidgetFamily family = host::WidgetFamily::systemSmall;
  present::ColorScheme scheme = present::ColorScheme::light;
  ui::ImageFormat format = ui::ImageFormat::png;
  ui::RenderOptions options;  // scale, rendering mode, tint, platform version
};

// What the views read from where they are drawn: the scheme, and the shared folder for favicons.
[[nodiscard]] present::Environment environmentFor(const DrawSettings& settings);

// The widget `root` laid out at the family's size and encoded. Nothing when the image cannot be
// made (a scale too large for a PNG, for one).
[[nodiscard]] std::optional<ui::RenderResult> drawWidget(const ui::Element& root,
                                                         const DrawSettings& settings);

// An entry view (anything with `family` and `element(env)`) drawn for the host.
template <class View>
[[nodiscard]] std::optional<ui::RenderResult> drawEntryView(View view,
                                                            const DrawSettings& settings) {
  view.family = settings.family;
  return drawWidget(view.element(environmentFor(settings)), settings);
}

}  // namespace vx::widgets
