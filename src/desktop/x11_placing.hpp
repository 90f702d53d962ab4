#pragma once

#include <gtk/gtk.h>

#include "desktop/placements.hpp"

namespace vx::desktop {

// Before an X11 widget window is shown: hints that make a window manager treat it as part of
// the desktop (below normal windows, on every workspace, out of task bars, pagers and window
// switchers, not focused when it appears, no frame) and its place in points. The window type is
// _NET_WM_WINDOW_TYPE_DESKTOP: window managers keep such windows below all others and leave
// them out of their lists; a DOCK window would be kept above others and may reserve screen
// space. Each window's role is "widget-<id>", for rules about one widget.
void prepareX11Window(GtkWindow* window, const Placement& placement);
// Moves the window's corner to `corner`, in points on the whole desktop.
void moveX11Window(GtkWindow* window, Position corner);

}  // namespace vx::desktop
