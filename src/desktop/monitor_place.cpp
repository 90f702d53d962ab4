#include "desktop/monitor_place.hpp"

#include <algorithm>

namespace vx::desktop {

MonitorPlace placeOnMonitor(Position position, int width, int height,
                            const std::vector<Area>& monitors, std::size_t primary) {
  for (std::size_t i = 0; i < monitors.size(); ++i) {
    const Area& area = monitors[i];
    if (position.x >= area.x && position.y >= area.y && position.x < area.x + area.width &&
        position.y < area.y + area.height) {
      return {i, {position.x - area.x, position.y - area.y}};
    }
  }
  const std::size_t chosen = primary < monitors.size() ? primary : 0;
  const Area& area = monitors.at(chosen);
  const auto fit = [](int offset, int length, int room) {
    return std::clamp(offset, 0, std::max(room - length, 0));
  };
  return {
      chosen,
      {fit(position.x - area.x, width, area.width), fit(position.y - area.y, height, area.height)}};
}

}  // namespace vx::desktop
