#pragma once

#include "desktop/host_loop.hpp"

namespace vx::desktop {

// Runs the host with a window per widget on the desktop (GTK 4) until SIGTERM, SIGINT or the
// end of the display: undecorated, at the widget's position (where the display lets a program
// place its windows: X11) and of its family's size, drawn at the monitor's scale, following the
// desktop's light or dark preference, and opening a tapped link with the desktop's handler for
// its scheme. Returns the exit status.
int runWindowed(HostOptions options, bool scaleGiven);

}  // namespace vx::desktop
