#pragma once

#include <cstdint>

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
// Whether what lies outside the outline shows through (a compositor runs and the window has an
// alpha channel); otherwise the window is cut to the outline.
[[nodiscard]] bool isTranslucent(GtkWidget* window);

// For a window cut to the outline: the colour that fills it behind the drawing, so that the
// drawing's own antialiased rounded edge and the cut's whole pixels (in points) blend with the
// widget's background instead of the window's black: the drawing's pixel at the middle of its
// top edge (premultiplied ARGB).
[[nodiscard]] std::uint32_t edgeColour(cairo_surface_t* image);

// Once the window has its size (and whenever compositing starts or stops): without a compositor
// the window is cut to the outline (an X shape); clicks outside the corners go through either way.
void applyShape(GtkWidget* window, int width, int height);

}  // namespace vx::desktop
