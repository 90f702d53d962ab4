#pragma once

#include <cstddef>
#include <vector>

#include "desktop/placements.hpp"

namespace vx::desktop {

// A rectangle of the desktop in points (a monitor's area in the display's layout).
struct Area {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const Area&) const = default;
};

// The monitor a widget shows on and its place there, in points from that monitor's corner.
struct MonitorPlace {
  std::size_t monitor = 0;
  Position offset;
  bool operator==(const MonitorPlace&) const = default;
};

// A placement's position is in points on the whole desktop (all monitors as the display lays
// them out): the widget shows on the monitor that holds its top-left corner. When none does
// (that monitor was unplugged), it shows on `primary` at the same place as far as it fits, so it
// never ends up off screen; its placement is kept, so it goes back when the monitor does.
// `monitors` must not be empty.
[[nodiscard]] MonitorPlace placeOnMonitor(Position position, int width, int height,
                                          const std::vector<Area>& monitors, std::size_t primary);

}  // namespace vx::desktop
