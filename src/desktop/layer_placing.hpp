#pragma once

#include <gtk/gtk.h>

#include "desktop/monitor_areas.hpp"
#include "desktop/placements.hpp"

namespace vx::desktop {

// Before a widget window is shown on a compositor with layer-shell: a layer surface on the
// bottom layer of the monitor that holds its position, anchored to that monitor's top-left
// corner at the position, reserving no space and taking the keyboard only when clicked. Its
// namespace is "vantorix-widget", for compositor rules.
void prepareLayerSurface(GtkWindow* window, const Placement& placement);
// Puts the surface on `place`'s monitor with its corner at `place`'s offset there (its margins).
void moveLayerSurface(GtkWindow* window, const DisplayPlace& place);

}  // namespace vx::desktop
