#include "desktop/monitor_areas.hpp"

#include <vector>

namespace vx::desktop {

std::vector<Area> monitorAreas(GdkDisplay* display) {
  std::vector<Area> areas;
  for (int i = 0; i < gdk_display_get_n_monitors(display); ++i) {
    GdkRectangle geometry;
    gdk_monitor_get_geometry(gdk_display_get_monitor(display, i), &geometry);
    areas.push_back({geometry.x, geometry.y, geometry.width, geometry.height});
  }
  return areas;
}

DisplayPlace placeOnDisplay(GdkDisplay* display, const Placement& placement) {
  const std::vector<Area> areas = monitorAreas(display);
  if (areas.empty()) return {nullptr, {}, placement.position};
  std::size_t primary = 0;
  GdkMonitor* primaryMonitor = gdk_display_get_primary_monitor(display);
  for (std::size_t i = 0; i < areas.size(); ++i) {
    if (gdk_display_get_monitor(display, static_cast<int>(i)) == primaryMonitor) primary = i;
  }
  const host::WidgetSize size = host::size(placement.family);
  const MonitorPlace place = placeOnMonitor(placement.position, static_cast<int>(size.width),
                                            static_cast<int>(size.height), areas, primary);
  return {gdk_display_get_monitor(display, static_cast<int>(place.monitor)), areas[place.monitor],
          place.offset};
}

}  // namespace vx::desktop
