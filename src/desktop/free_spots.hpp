#pragma once

#include <optional>
#include <vector>

#include "desktop/monitor_place.hpp"
#include "desktop/placements.hpp"
#include "host/widget_family.hpp"

namespace vx::desktop {

// Widgets snap to a grid of this many points, counted from their monitor's top-left corner.
inline constexpr int kGridPoints = 8;
// A widget the host finds a place for keeps this far from the monitor's edges and from others.
inline constexpr int kSpacingPoints = 2 * kGridPoints;

// The rectangle a placed widget covers, in points on the desktop.
[[nodiscard]] Area areaOf(const Placement& placement);

// Where a new widget of `size` goes on `monitor`: the first grid spot in reading order (rows from
// the top, each from the left) that keeps `kSpacingPoints` from the edges and from every
// rectangle in `taken`. Nothing when there is no such room.
[[nodiscard]] std::optional<Position> freeSpot(const Area& monitor, host::WidgetSize size,
                                               const std::vector<Area>& taken);

// Where a widget of `size` dropped at `wanted` lands: on the grid, wholly on `monitor` and over
// none of `taken`, the nearest such spot to `wanted`. Nothing when it fits nowhere there.
[[nodiscard]] std::optional<Position> landingSpot(const Area& monitor, host::WidgetSize size,
                                                  Position wanted, const std::vector<Area>& taken);

}  // namespace vx::desktop
