#include "desktop/gallery_placing.hpp"

#include <algorithm>
#include <vector>

#include "desktop/free_spots.hpp"

namespace vx::desktop {

Placement placeAtFreeSpot(Placements& placements, const KindInfo& kind, host::WidgetFamily family,
                          const Area& monitor) {
  std::vector<Area> taken;
  for (const Placement& placed : placements.widgets) taken.push_back(areaOf(placed));
  const auto spot = freeSpot(monitor, host::size(family), taken);
  if (!spot) throw NoRoom("No room for this widget on this screen");
  Placement placement;
  placement.id = placements.nextId();
  placement.kind = kind.kind;
  placement.family = family;
  placement.configuration = defaultConfiguration(kind);
  placement.position = *spot;
  if (placements.pushToken.empty()) placements.pushToken = newPushToken();
  placements.widgets.push_back(placement);
  return placement;
}

std::size_t placedCount(const Placements& placements, const std::string& kind) {
  return static_cast<std::size_t>(
      std::count_if(placements.widgets.begin(), placements.widgets.end(),
                    [&](const Placement& placement) { return placement.kind == kind; }));
}

}  // namespace vx::desktop
