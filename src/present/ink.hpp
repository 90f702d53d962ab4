#pragma once

#include <optional>
#include <string_view>

#include "ui/color.hpp"
#include "ui/render_options.hpp"

namespace vx::present {

struct Environment;

// The environment's appearance, as the host reports it.
enum class ColorScheme { light, dark };

[[nodiscard]] std::string_view rawValue(ColorScheme scheme);
// "dark" is the dark scheme; every other text, the empty one included, is light.
[[nodiscard]] ColorScheme colorSchemeFromRaw(std::string_view raw);

// The widgets' twelve colours for one colour scheme. Build it from the scheme in use each time a
// component draws; it is a plain value, never cached across schemes.
//
// In accented mode the host draws every colour in one of two flat colours, keeping only its
// opacity. Each entry then carries an opacity by its rank instead of its own (text and figures
// whole, secondary text dimmer, the previous period and the area under the curve fainter still,
// rules faintest), so the hierarchy that the hues gave survives.
struct Ink {
  explicit Ink(ColorScheme scheme, ui::RenderingMode mode = ui::RenderingMode::fullColor);
  explicit Ink(const Environment& env);

  bool dark = false;
  ui::Color primary;     // main text, figures
  ui::Color secondary;   // labels, detail text, zero-day stubs
  ui::Color up;          // positive change
  ui::Color down;        // negative change
  ui::Color live;        // the live dot
  ui::Color accent;      // chart line, bars, dots
  ui::Color action;      // tappable call-to-action text
  ui::Color liveText;    // the online count
  ui::Color accentSoft;  // area under the curve
  ui::Color previous;    // previous-period line, average line
  ui::Color baseline;    // the chart's 1-point baseline
  ui::Color background;  // the widget's background
};

}  // namespace vx::present
