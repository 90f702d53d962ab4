#include "desktop/monitor_areas.hpp"

#include <vector>

namespace vx::desktop {

DisplayPlace placeOnDisplay(GdkDisplay* display, const Placement& placement) {
  const int count = gdk_display_get_n_monitors(display);
  if (count <= 0) return {nullptr, {}, placement.position};
  std::vector<Area> areas;
  std::size_t primary = 0;
  GdkMonitor* primaryMonitor = gdk_display_get_primary_monitor(display);
  for (int i = 0; i < count; ++i) {
    GdkMonitor* monitor = gdk_display_get_monitor(display, i);
    GdkRectangle geometry;
    gdk_monitor_get_geometry(monitor, &geometry);
    areas.push_back({geometry.x, geometry.y, geometry.width, geometry.height});
    if (monitor == primaryMonitor) primary = areas.size() - 1;
  }
  const host::WidgetSize size = host::size(placement.family);
  const MonitorPlace place = placeOnMonitor(placement.position, static_cast<int>(size.width),
                                            static_cast<int>(size.height), areas, primary);
  return {gdk_display_get_monitor(display, static_cast<int>(place.monitor)), areas[place.monitor],
          place.offset};
}

}  // namespace vx::desktop
