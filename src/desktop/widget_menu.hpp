#pragma once

#include <functional>
#include <string>

#include <gtk/gtk.h>

namespace vx::desktop {

// What a widget's context menu does with the widget it belongs to.
struct WidgetMenuActions {
  std::function<void(const std::string& id)> edit;
  std::function<void(const std::string& id)> remove;
};

// Opens the context menu of widget `id` ("Edit Widget…", "Remove Widget") over `window`: at the
// pointer for a button press `trigger`, at the focused part of the window (or its top-left
// corner) from the keyboard (`trigger` null). The menu lives as long as the window.
void popUpWidgetMenu(GtkWidget* window, const std::string& id, const GdkEvent* trigger,
                     const WidgetMenuActions& actions);

}  // namespace vx::desktop
