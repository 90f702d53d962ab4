#include "desktop/accessible_layer.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

namespace vx::desktop {
namespace {

// What a layer keeps beside its widgets, freed with them.
struct LayerState {
  LinkOpener open;
  GtkWidget* places = nullptr;  // the GtkFixed holding the labels and buttons
  std::vector<AccessibleItem> shown;
};

constexpr const char* kStateKey = "vx-accessible-layer";
constexpr const char* kUrlKey = "vx-link-url";

// Texts are never painted (the drawing shows them); tap targets show nothing but the focus.
constexpr const char* kStyle =
    "button.vx-tap-target { background: none; border: none; box-shadow: none; padding: 0;"
    " min-width: 0; min-height: 0; outline: none; }"
    "button.vx-tap-target:focus { outline: 2px solid #3584e4; outline-offset: -2px; }";

void addStyleOnce() {
  static bool added = false;
  GdkScreen* screen = gdk_screen_get_default();
  if (added || screen == nullptr) return;
  GtkCssProvider* provider = gtk_css_provider_new();
  gtk_css_provider_load_from_data(provider, kStyle, -1, nullptr);
  gtk_style_context_add_provider_for_screen(screen, GTK_STYLE_PROVIDER(provider),
                                            GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  g_object_unref(provider);
  added = true;
}

int points(double v) {
  return static_cast<int>(std::lround(v));
}

void activated(GtkButton* button, gpointer layer) {
  const auto* state = static_cast<const LayerState*>(g_object_get_data(G_OBJECT(layer), kStateKey));
  const auto* url = static_cast<const char*>(g_object_get_data(G_OBJECT(button), kUrlKey));
  if (state != nullptr && url != nullptr && state->open) state->open(url);
}

GtkWidget* textLabel(const AccessibleItem& item) {
  GtkWidget* label = gtk_label_new(item.name.c_str());
  gtk_label_set_ellipsize(GTK_LABEL(label), PANGO_ELLIPSIZE_END);
  gtk_widget_set_opacity(label, 0);
  return label;
}

// The button's own input window takes no pointer events: they reach the drawing below, which
// opens the link painted last at the point and lets the widget be dragged.
void passPointerThrough(GtkWidget* button, gpointer) {
  GdkWindow* input = gtk_button_get_event_window(GTK_BUTTON(button));
  if (input == nullptr) return;
  cairo_region_t* nothing = cairo_region_create();
  gdk_window_input_shape_combine_region(input, nothing, 0, 0);
  cairo_region_destroy(nothing);
}

GtkWidget* tapTarget(const AccessibleItem& item, GtkWidget* layer) {
  GtkWidget* button = gtk_button_new();
  gtk_style_context_add_class(gtk_widget_get_style_context(button), "vx-tap-target");
  g_object_set_data_full(G_OBJECT(button), kUrlKey, g_strdup(item.url.c_str()), g_free);
  g_signal_connect(button, "clicked", G_CALLBACK(activated), layer);
  g_signal_connect_after(button, "realize", G_CALLBACK(passPointerThrough), nullptr);
  AtkObject* accessible = gtk_widget_get_accessible(button);
  atk_object_set_name(accessible, item.name.c_str());
  atk_object_set_role(accessible, ATK_ROLE_LINK);
  return button;
}

void removeChild(GtkWidget* child, gpointer) {
  gtk_widget_destroy(child);
}

}  // namespace

GtkWidget* addAccessibleLayer(GtkWidget* drawing, LinkOpener open) {
  addStyleOnce();
  GtkWidget* overlay = gtk_overlay_new();
  gtk_container_add(GTK_CONTAINER(overlay), drawing);
  GtkWidget* places = gtk_fixed_new();
  gtk_overlay_add_overlay(GTK_OVERLAY(overlay), places);
  gtk_overlay_set_overlay_pass_through(GTK_OVERLAY(overlay), places, TRUE);
  auto* state = new LayerState{std::move(open), places, {}};
  g_object_set_data_full(G_OBJECT(overlay), kStateKey, state,
                         [](gpointer data) { delete static_cast<LayerState*>(data); });
  return overlay;
}

void showAccessibleContent(GtkWidget* layer, std::vector<AccessibleItem> items) {
  auto* state = static_cast<LayerState*>(g_object_get_data(G_OBJECT(layer), kStateKey));
  if (state == nullptr || state->shown == items) return;
  gtk_container_foreach(GTK_CONTAINER(state->places), removeChild, nullptr);
  for (const AccessibleItem& item : items) {
    const bool link = item.role == AccessibleItem::Role::link;
    GtkWidget* child = link ? tapTarget(item, layer) : textLabel(item);
    gtk_widget_set_size_request(child, std::max(points(item.width), 1),
                                std::max(points(item.height), 1));
    gtk_fixed_put(GTK_FIXED(state->places), child, points(item.x), points(item.y));
  }
  gtk_widget_show_all(state->places);
  state->shown = std::move(items);
}

}  // namespace vx::desktop
