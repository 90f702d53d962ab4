#pragma once

#include "desktop/host_loop.hpp"

namespace vx::desktop {

// Runs the host with a window per widget on the desktop (GTK 3) until SIGTERM, SIGINT or the
// end of the display: desktop-widget windows at the widgets' positions (X11 with window-manager
// hints, or layer-shell surfaces on Wayland), of their families' sizes in points, drawn at their
// monitors' scale, following the desktop's light or dark preference, and opening a tapped link
// with the desktop's handler for its scheme. Returns the exit status.
int runWindowed(HostOptions options, bool scaleGiven);

}  // namespace vx::desktop
