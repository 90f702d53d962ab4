#pragma once

#include <optional>

namespace vx::desktop {

// How widget windows get to their places.
enum class WindowSystem {
  x11,         // X windows moved to their positions, with desktop-widget hints (EWMH)
  layerShell,  // Wayland layer surfaces on the bottom layer, anchored at their positions
  unplaced,    // another display: windows go where the display puts them
};

// Opens the display and says how widgets will be placed there (logged on standard error). On a
// Wayland compositor without the layer-shell protocol, where an ordinary window cannot place
// itself, the program starts again on X11 through the compositor's X server (Xwayland) when one
// is announced in DISPLAY. Nothing when there is no display.
[[nodiscard]] std::optional<WindowSystem> openWindowSystem();

}  // namespace vx::desktop
