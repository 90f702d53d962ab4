#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

#include "desktop/kind_catalogue.hpp"
#include "desktop/monitor_place.hpp"
#include "desktop/placements.hpp"

namespace vx::desktop {

// No spot on the monitor holds a widget of that size without covering another.
struct NoRoom : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Adds a widget of `kind` in `family`, configured with the kind's defaults, at the first free
// spot on `monitor` (every placed widget takes its room, on whichever monitor), with a new push
// token when there is none yet, as `place` on the command line does. The new placement.
// Throws `NoRoom`, leaving `placements` as they were.
Placement placeAtFreeSpot(Placements& placements, const KindInfo& kind, host::WidgetFamily family,
                          const Area& monitor);

// How many widgets of `kind` are placed.
[[nodiscard]] std::size_t placedCount(const Placements& placements, const std::string& kind);

}  // namespace vx::desktop
