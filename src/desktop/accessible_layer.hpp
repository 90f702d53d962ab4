#pragma once

#include <functional>
#include <string>
#include <vector>

#include <gtk/gtk.h>

#include "desktop/accessible_content.hpp"

namespace vx::desktop {

// Opens a tap target's URL: the same opener a click on the drawing uses.
using LinkOpener = std::function<void(const std::string& url)>;

// Lays the part of a widget window that screen readers and the keyboard use over `drawing`:
// an invisible label per text and a borderless, focusable button per tap target, at their
// places and in reading order. AT-SPI finds the labels by their texts and the buttons as links
// named by what they say; Tab moves between the buttons (the focused one is outlined), and Enter,
// Space or the accessible action opens the link with `open`. The pointer passes through to the
// drawing. Returns the widget to put in the window in place of `drawing`.
[[nodiscard]] GtkWidget* addAccessibleLayer(GtkWidget* drawing, LinkOpener open);

// Replaces what the layer made by addAccessibleLayer tells; the same content again changes
// nothing, so the keyboard focus stays where it is.
void showAccessibleContent(GtkWidget* layer, std::vector<AccessibleItem> items);

}  // namespace vx::desktop
