#pragma once

#include <vector>

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
// The areas of the display's monitors in points, in the display's order.
[[nodiscard]] std::vector<Area> monitorAreas(GdkDisplay* display);

}  // namespace vx::desktop
