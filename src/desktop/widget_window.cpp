#include "desktop/widget_window.hpp"

#include <algorithm>
#include <iostream>
#include <optional>

#include "desktop/accessible_layer.hpp"
#include "desktop/free_spots.hpp"
#include "desktop/layer_placing.hpp"
#include "desktop/link_map.hpp"
#include "desktop/widget_shape.hpp"
#include "desktop/x11_placing.hpp"

namespace vx::desktop {

namespace {

// Opens a link with the desktop's handler for its scheme.
void openLink(const std::string& url) {
  g_autoptr(GError) error = nullptr;
  if (!g_app_info_launch_default_for_uri(url.c_str(), nullptr, &error)) {
    std::cerr << "vantorix-widget-host: cannot open " << url << ": " << error->message << "\n";
  }
}

// The grid step Alt and an arrow key move a widget by, in points; nothing for other keys.
std::optional<Position> moveStep(const GdkEventKey& event) {
  if ((event.state & gtk_accelerator_get_default_mod_mask()) != GDK_MOD1_MASK) return std::nullopt;
  switch (event.keyval) {
    case GDK_KEY_Left:
    case GDK_KEY_KP_Left:
      return Position{-kGridPoints, 0};
    case GDK_KEY_Right:
    case GDK_KEY_KP_Right:
      return Position{kGridPoints, 0};
    case GDK_KEY_Up:
    case GDK_KEY_KP_Up:
      return Position{0, -kGridPoints};
    case GDK_KEY_Down:
    case GDK_KEY_KP_Down:
      return Position{0, kGridPoints};
    default:
      return std::nullopt;
  }
}

}  // namespace

WidgetWindow::WidgetWindow(const Placement& placement, const std::string& title,
                           WindowSystem system, Calls calls)
    : position_(placement.position), system_(system), calls_(std::move(calls)) {
  const host::WidgetSize size = host::size(placement.family);
  width_ = static_cast<int>(size.width);
  height_ = static_cast<int>(size.height);
  window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  GtkWindow* window = GTK_WINDOW(window_);
  gtk_window_set_title(window, title.c_str());
  gtk_window_set_decorated(window, FALSE);
  gtk_window_set_resizable(window, FALSE);
  gtk_window_set_default_size(window, width_, height_);
  if (system == WindowSystem::layerShell) prepareLayerSurface(window, placement);
  if (system == WindowSystem::x11) prepareX11Window(window, placement);
  prepareShape(window_);
  place_ = placeOnDisplay(gtk_widget_get_display(window_), placement);
  drag_ = std::make_unique<WidgetDrag>(
      window_, system,
      WidgetDrag::Calls{
          [this] {
            return Position{place_.area.x + place_.offset.x, place_.area.y + place_.offset.y};
          },
          [this](Position corner) { follow(corner); },
          [this](Position corner) {
            if (calls_.dropped) calls_.dropped(corner);
          }});

  area_ = gtk_drawing_area_new();
  gtk_widget_set_size_request(area_, width_, height_);
  gtk_widget_add_events(area_,
                        GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_BUTTON1_MOTION_MASK);
  g_signal_connect(area_, "draw", G_CALLBACK(draw), this);
  g_signal_connect(area_, "button-press-event", G_CALLBACK(pressed), this);
  g_signal_connect(area_, "button-release-event", G_CALLBACK(released), this);
  g_signal_connect(area_, "motion-notify-event", G_CALLBACK(motion), this);
  g_signal_connect(window_, "key-press-event", G_CALLBACK(keyPressed), this);
  // A right click anywhere, the tap targets laid over the drawing included, reaches the window.
  g_signal_connect(window_, "button-press-event", G_CALLBACK(contextPressed), this);
  g_signal_connect(window_, "popup-menu", G_CALLBACK(menuKey), this);
  layer_ = addAccessibleLayer(area_, openLink);
  gtk_container_add(GTK_CONTAINER(window_), layer_);
  g_signal_connect(window_, "map", G_CALLBACK(mapped), this);
  g_signal_connect(window_, "notify::scale-factor", G_CALLBACK(scaleNotified), this);
  g_signal_connect(gtk_widget_get_screen(window_), "composited-changed",
                   G_CALLBACK(compositingChanged), this);
  gtk_widget_show_all(window_);
}

WidgetWindow::~WidgetWindow() {
  g_signal_handlers_disconnect_by_data(gtk_widget_get_screen(window_), this);
  gtk_widget_destroy(window_);
}

void WidgetWindow::show(const std::filesystem::path& image, double scale, nlohmann::json links) {
  base::Owned<cairo_surface_t, cairo_surface_destroy> loaded(
      cairo_image_surface_create_from_png(image.c_str()));
  if (cairo_surface_status(loaded.get()) != CAIRO_STATUS_SUCCESS || !(scale > 0)) return;
  edge_ = edgeColour(loaded.get());
  image_ = std::move(loaded);
  scale_ = scale;
  links_ = std::move(links);
  gtk_widget_queue_draw(area_);
}

void WidgetWindow::tell(std::vector<AccessibleItem> content) {
  showAccessibleContent(layer_, std::move(content));
}

gboolean WidgetWindow::draw(GtkWidget*, cairo_t* cr, gpointer data) {
  const auto* self = static_cast<const WidgetWindow*>(data);
  // Outside the outline stays clear: transparent where a compositor runs (cut away otherwise).
  cairo_save(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_rgba(cr, 0, 0, 0, 0);
  cairo_paint(cr);
  cairo_restore(cr);
  if (!self->image_) return TRUE;
  if (isTranslucent(self->window_)) {
    widgetOutline(cr, self->width_, self->height_);
    cairo_clip(cr);
  } else {
    const std::uint32_t edge = self->edge_;
    const auto channel = [edge](int shift) { return ((edge >> shift) & 0xff) / 255.0; };
    cairo_set_source_rgba(cr, channel(16), channel(8), channel(0), channel(24));
    cairo_paint(cr);
  }
  // The image has `scale` pixels per point; drawn at 1/scale it lands pixel for pixel on a
  // monitor of that scale.
  cairo_scale(cr, 1 / self->scale_, 1 / self->scale_);
  cairo_set_source_surface(cr, self->image_.get(), 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  cairo_paint(cr);
  return TRUE;
}

void WidgetWindow::moveTo(const Placement& placement) {
  position_ = placement.position;
  place_ = placeOnDisplay(gtk_widget_get_display(window_), placement);
  if (system_ == WindowSystem::x11) {
    moveX11Window(GTK_WINDOW(window_),
                  {place_.area.x + place_.offset.x, place_.area.y + place_.offset.y});
  } else if (system_ == WindowSystem::layerShell) {
    moveLayerSurface(GTK_WINDOW(window_), place_);
  }
}

void WidgetWindow::follow(Position corner) {
  // Only X11 windows follow the pointer (a layer surface waits for the drop: see WidgetDrag).
  if (system_ != WindowSystem::x11) return;
  moveX11Window(GTK_WINDOW(window_), corner);
  place_.offset = {corner.x - place_.area.x, corner.y - place_.area.y};
}

gboolean WidgetWindow::pressed(GtkWidget*, GdkEventButton* event, gpointer data) {
  static_cast<WidgetWindow*>(data)->drag_->pressed(*event);
  return FALSE;
}

gboolean WidgetWindow::motion(GtkWidget*, GdkEventMotion* event, gpointer data) {
  static_cast<WidgetWindow*>(data)->drag_->moved(*event);
  return TRUE;
}

gboolean WidgetWindow::keyPressed(GtkWidget*, GdkEventKey* event, gpointer data) {
  auto* self = static_cast<WidgetWindow*>(data);
  const auto step = moveStep(*event);
  if (!step || !self->calls_.dropped) return FALSE;
  self->calls_.dropped({self->place_.area.x + self->place_.offset.x + step->x,
                        self->place_.area.y + self->place_.offset.y + step->y});
  return TRUE;
}

gboolean WidgetWindow::released(GtkWidget*, GdkEventButton* event, gpointer data) {
  auto* self = static_cast<WidgetWindow*>(data);
  if (self->drag_->released(*event)) return TRUE;  // a drag is no click
  if (event->button != GDK_BUTTON_PRIMARY) return FALSE;
  const auto url = linkAt(self->links_, event->x, event->y);
  if (!url) return FALSE;
  openLink(*url);
  return TRUE;
}

gboolean WidgetWindow::contextPressed(GtkWidget*, GdkEventButton* event, gpointer data) {
  const auto* self = static_cast<const WidgetWindow*>(data);
  if (!self->menu_ || !gdk_event_triggers_context_menu(reinterpret_cast<GdkEvent*>(event))) {
    return FALSE;
  }
  self->menu_(self->window_, reinterpret_cast<GdkEvent*>(event));
  return TRUE;
}

gboolean WidgetWindow::menuKey(GtkWidget*, gpointer data) {
  const auto* self = static_cast<const WidgetWindow*>(data);
  if (!self->menu_) return FALSE;
  self->menu_(self->window_, nullptr);
  return TRUE;
}

void WidgetWindow::mapped(GtkWidget* window, gpointer data) {
  auto* self = static_cast<WidgetWindow*>(data);
  applyShape(window, self->width_, self->height_);
  if (self->calls_.scaleChanged) self->calls_.scaleChanged(gtk_widget_get_scale_factor(window));
}

void WidgetWindow::scaleNotified(GObject*, GParamSpec*, gpointer data) {
  auto* self = static_cast<WidgetWindow*>(data);
  if (self->calls_.scaleChanged) {
    self->calls_.scaleChanged(gtk_widget_get_scale_factor(self->window_));
  }
}

void WidgetWindow::compositingChanged(GdkScreen*, gpointer data) {
  auto* self = static_cast<WidgetWindow*>(data);
  applyShape(self->window_, self->width_, self->height_);
}

}  // namespace vx::desktop
