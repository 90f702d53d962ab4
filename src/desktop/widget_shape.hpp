#pragma once

#include <cairo.h>
#include <gtk/gtk.h>

namespace vx::desktop {

// Every widget window has the rounded corners a widget is drawn with elsewhere: one radius, in
// points, for all families.
inline constexpr double kWidgetCornerRadius = 20;

// Replaces cairo's path with the widget's outline: a `width` × `height` rectangle (points) with
// rounded corners.
void widgetOutline(cairo_t* cr, double width, double height);

// Before the window is shown: where a compositor runs, the window gets a visual with an alpha
// channel, so that what lies outside the corners is transparent.
void prepareShape(GtkWidget* window);
// Once the window has its size (and whenever compositing starts or stops): without a compositor
// the window is cut to the outline (an X shape); clicks outside the corners go through either way.
void applyShape(GtkWidget* window, int width, int height);

}  // namespace vx::desktop
