#pragma once

#include <optional>
#include <string>
#include <vector>

#include "desktop/monitor_place.hpp"
#include "desktop/placements.hpp"

namespace vx::desktop {

// Where widget `id` lands when the user drops it with its corner at `corner` (points on the
// desktop): on the monitor that holds its centre there (else on the one it shows on now), at
// the nearest grid spot wholly on that monitor and over no other widget. Nothing when the
// widget is not among `placements` or there is no room for it on that monitor.
[[nodiscard]] std::optional<Position> dropSpot(const Placements& placements, const std::string& id,
                                               Position corner, const std::vector<Area>& monitors,
                                               std::size_t primary);

}  // namespace vx::desktop
