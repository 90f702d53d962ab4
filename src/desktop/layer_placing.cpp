#include "desktop/layer_placing.hpp"

#include <gtk-layer-shell/gtk-layer-shell.h>

namespace vx::desktop {

void prepareLayerSurface(GtkWindow* window, const Placement& placement) {
  gtk_layer_init_for_window(window);
  gtk_layer_set_namespace(window, "vantorix-widget");
  gtk_layer_set_layer(window, GTK_LAYER_SHELL_LAYER_BOTTOM);
  gtk_layer_set_keyboard_mode(window, GTK_LAYER_SHELL_KEYBOARD_MODE_ON_DEMAND);
  gtk_layer_set_exclusive_zone(window, 0);
  gtk_layer_set_anchor(window, GTK_LAYER_SHELL_EDGE_LEFT, TRUE);
  gtk_layer_set_anchor(window, GTK_LAYER_SHELL_EDGE_TOP, TRUE);
  moveLayerSurface(window, placeOnDisplay(gtk_widget_get_display(GTK_WIDGET(window)), placement));
}

void moveLayerSurface(GtkWindow* window, const DisplayPlace& place) {
  if (place.monitor != nullptr && gtk_layer_get_monitor(window) != place.monitor) {
    gtk_layer_set_monitor(window, place.monitor);
  }
  gtk_layer_set_margin(window, GTK_LAYER_SHELL_EDGE_LEFT, place.offset.x);
  gtk_layer_set_margin(window, GTK_LAYER_SHELL_EDGE_TOP, place.offset.y);
}

}  // namespace vx::desktop
