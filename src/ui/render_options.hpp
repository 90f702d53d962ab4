#pragma once

#include "ui/color.hpp"

namespace vx::ui {

// How the host wants the widget drawn.
enum class RenderingMode {
  fullColor,  // every colour as given
  accented,   // the accent group in the tint colour, the rest in one plain colour, no background
};

struct RenderOptions {
  double scale = 2;  // pixels per point, PNG only
  RenderingMode mode = RenderingMode::fullColor;
  Color tint = Color::rgb24(0x0a84ff);  // the accent group's colour in accented mode
  Color plain = Color::white();         // everything else in accented mode
  // The host's platform version: from 15 on, images keep their colours in accented mode.
  int platformVersion = 26;
};

// From this platform version on, images are drawn in full colour even in accented mode.
inline constexpr int kFullColorImagesSince = 15;

}  // namespace vx::ui
