#include "desktop/widget_shape.hpp"

#include <algorithm>
#include <numbers>

#include "base/owned.hpp"

namespace vx::desktop {
namespace {

using Surface = base::Owned<cairo_surface_t, cairo_surface_destroy>;
using Context = base::Owned<cairo_t, cairo_destroy>;
using Region = base::Owned<cairo_region_t, cairo_region_destroy>;

// The outline as a region of whole points.
Region outlineRegion(int width, int height) {
  Surface mask(cairo_image_surface_create(CAIRO_FORMAT_A1, width, height));
  Context cr(cairo_create(mask.get()));
  cairo_set_antialias(cr.get(), CAIRO_ANTIALIAS_NONE);
  widgetOutline(cr.get(), width, height);
  cairo_fill(cr.get());
  cairo_surface_flush(mask.get());
  return Region(gdk_cairo_region_create_from_surface(mask.get()));
}

}  // namespace

void widgetOutline(cairo_t* cr, double width, double height) {
  const double r = std::min({kWidgetCornerRadius, width / 2, height / 2});
  constexpr double quarter = std::numbers::pi / 2;
  cairo_new_path(cr);
  cairo_arc(cr, width - r, r, r, -quarter, 0);
  cairo_arc(cr, width - r, height - r, r, 0, quarter);
  cairo_arc(cr, r, height - r, r, quarter, 2 * quarter);
  cairo_arc(cr, r, r, r, 2 * quarter, 3 * quarter);
  cairo_close_path(cr);
}

void prepareShape(GtkWidget* window) {
  GdkScreen* screen = gtk_widget_get_screen(window);
  GdkVisual* visual = gdk_screen_get_rgba_visual(screen);
  if (visual != nullptr && gdk_screen_is_composited(screen)) {
    gtk_widget_set_visual(window, visual);
  }
  gtk_widget_set_app_paintable(window, TRUE);
}

void applyShape(GtkWidget* window, int width, int height) {
  const Region region = outlineRegion(width, height);
  const bool translucent = gdk_screen_is_composited(gtk_widget_get_screen(window)) &&
                           gdk_visual_get_depth(gtk_widget_get_visual(window)) == 32;
  gtk_widget_shape_combine_region(window, translucent ? nullptr : region.get());
  gtk_widget_input_shape_combine_region(window, region.get());
}

}  // namespace vx::desktop
