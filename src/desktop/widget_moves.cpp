#include "desktop/widget_moves.hpp"

#include "desktop/free_spots.hpp"

namespace vx::desktop {

std::optional<Position> dropSpot(const Placements& placements, const std::string& id,
                                 Position corner, const std::vector<Area>& monitors,
                                 std::size_t primary) {
  const Placement* moving = placements.find(id);
  if (moving == nullptr || monitors.empty()) return std::nullopt;
  const host::WidgetSize size = host::size(moving->family);
  const int width = static_cast<int>(size.width);
  const int height = static_cast<int>(size.height);
  const Position centre{corner.x + width / 2, corner.y + height / 2};
  std::size_t monitor = placeOnMonitor(moving->position, width, height, monitors, primary).monitor;
  for (std::size_t i = 0; i < monitors.size(); ++i) {
    const Area& area = monitors[i];
    if (centre.x >= area.x && centre.y >= area.y && centre.x < area.x + area.width &&
        centre.y < area.y + area.height) {
      monitor = i;
      break;
    }
  }
  std::vector<Area> taken;
  for (const Placement& other : placements.widgets) {
    if (other.id != id) taken.push_back(areaOf(other));
  }
  return landingSpot(monitors[monitor], size, corner, taken);
}

}  // namespace vx::desktop
