#include "desktop/x11_placing.hpp"

#include "desktop/monitor_areas.hpp"

namespace vx::desktop {

void prepareX11Window(GtkWindow* window, const Placement& placement) {
  gtk_window_set_type_hint(window, GDK_WINDOW_TYPE_HINT_DESKTOP);
  gtk_window_set_keep_below(window, TRUE);
  gtk_window_stick(window);
  gtk_window_set_skip_taskbar_hint(window, TRUE);
  gtk_window_set_skip_pager_hint(window, TRUE);
  gtk_window_set_focus_on_map(window, FALSE);
  gtk_window_set_role(window, ("widget-" + placement.id).c_str());
  const DisplayPlace place = placeOnDisplay(gtk_widget_get_display(GTK_WIDGET(window)), placement);
  moveX11Window(window, {place.area.x + place.offset.x, place.area.y + place.offset.y});
}

void moveX11Window(GtkWindow* window, Position corner) {
  // GTK moves windows in points: at monitor scale 2 it asks for twice the pixels.
  gtk_window_move(window, corner.x, corner.y);
}

}  // namespace vx::desktop
