#pragma once

#include <gtk/gtk.h>

#include "desktop/monitor_place.hpp"

namespace vx::desktop {

// Where a placement's widget shows on this display's monitors (see `placeOnMonitor`), and that
// monitor. No monitor known: the position as it is, and no monitor.
struct DisplayPlace {
  GdkMonitor* monitor = nullptr;
  Area area;  // the monitor's area in points
  Position offset;
};
[[nodiscard]] DisplayPlace placeOnDisplay(GdkDisplay* display, const Placement& placement);

}  // namespace vx::desktop
