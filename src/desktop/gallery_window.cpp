#include "desktop/gallery_window.hpp"

#include <algorithm>

#include <cairo.h>

#include "desktop/gallery_placing.hpp"
#include "desktop/gallery_texts.hpp"
#include "desktop/widget_shape.hpp"

namespace vx::desktop {
namespace {

constexpr const char* kTitle = "Vantorix Widgets";
constexpr const char* kRowKey = "vx-gallery-row";
constexpr const char* kFamilyKey = "vx-gallery-family";
constexpr const char* kPictureKey = "vx-gallery-picture";

// Pictures sit on the window's own background; a focused one is outlined.
constexpr const char* kStyle =
    "button.vx-gallery-family { padding: 6px; }"
    ".vx-gallery-kind { font-weight: bold; font-size: 1.2em; }";

void addStyle(GtkWidget* window) {
  GtkCssProvider* provider = gtk_css_provider_new();
  gtk_css_provider_load_from_data(provider, kStyle, -1, nullptr);
  gtk_style_context_add_provider_for_screen(gtk_widget_get_screen(window),
                                            GTK_STYLE_PROVIDER(provider),
                                            GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  g_object_unref(provider);
}

GtkWidget* wrappedLabel(const std::string& text) {
  GtkWidget* label = gtk_label_new(text.c_str());
  gtk_label_set_line_wrap(GTK_LABEL(label), TRUE);
  gtk_label_set_xalign(GTK_LABEL(label), 0);
  return label;
}

void dim(GtkWidget* widget) {
  gtk_style_context_add_class(gtk_widget_get_style_context(widget), "dim-label");
}

// A picture in points, inside the rounded corners a widget has on the desktop.
gboolean drawPicture(GtkWidget* area, cairo_t* cr, gpointer) {
  auto* picture = static_cast<cairo_surface_t*>(g_object_get_data(G_OBJECT(area), kPictureKey));
  if (picture == nullptr) return FALSE;
  widgetOutline(cr, gtk_widget_get_allocated_width(area), gtk_widget_get_allocated_height(area));
  cairo_clip(cr);
  cairo_set_source_surface(cr, picture, 0, 0);
  cairo_paint(cr);
  return FALSE;
}

void setAccessibleName(GtkWidget* widget, const std::string& name) {
  atk_object_set_name(gtk_widget_get_accessible(widget), name.c_str());
}

std::string headingName(const KindInfo& kind, std::size_t count) {
  return kind.name + ", " + placedText(count);
}

}  // namespace

GalleryWindow::GalleryWindow(GtkApplication* application, Chosen chosen)
    : chosen_(std::move(chosen)), window_(gtk_application_window_new(application)) {
  gtk_window_set_title(GTK_WINDOW(window_), kTitle);
  gtk_window_set_default_size(GTK_WINDOW(window_), 980, 760);
  addStyle(window_);
  GtkWidget* page = gtk_box_new(GTK_ORIENTATION_VERTICAL, 12);
  gtk_container_set_border_width(GTK_CONTAINER(page), 18);
  reason_ = wrappedLabel("");
  notice_ = wrappedLabel("");
  gtk_widget_set_no_show_all(reason_, TRUE);
  gtk_widget_set_no_show_all(notice_, TRUE);
  // Said when it shows, as a notification is.
  atk_object_set_role(gtk_widget_get_accessible(notice_), ATK_ROLE_NOTIFICATION);
  gtk_box_pack_start(GTK_BOX(page), reason_, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(page), notice_, FALSE, FALSE, 0);
  list_ = gtk_box_new(GTK_ORIENTATION_VERTICAL, 24);
  GtkWidget* scrolled = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scrolled), GTK_POLICY_NEVER,
                                 GTK_POLICY_AUTOMATIC);
  gtk_container_add(GTK_CONTAINER(scrolled), list_);
  gtk_box_pack_start(GTK_BOX(page), scrolled, TRUE, TRUE, 0);
  gtk_container_add(GTK_CONTAINER(window_), page);
  gtk_widget_show_all(page);
}

int GalleryWindow::scale() const {
  return std::max(gtk_widget_get_scale_factor(window_), 1);
}

Area GalleryWindow::monitorArea() const {
  GdkDisplay* display = gtk_widget_get_display(window_);
  GdkWindow* own = gtk_widget_get_window(window_);
  GdkMonitor* monitor = own != nullptr ? gdk_display_get_monitor_at_window(display, own) : nullptr;
  if (monitor == nullptr) monitor = gdk_display_get_primary_monitor(display);
  if (monitor == nullptr) monitor = gdk_display_get_monitor(display, 0);
  if (monitor == nullptr) return {};
  GdkRectangle geometry;
  gdk_monitor_get_geometry(monitor, &geometry);
  return {geometry.x, geometry.y, geometry.width, geometry.height};
}

void GalleryWindow::showKinds(const std::vector<KindInfo>& kinds) {
  kinds_ = kinds;
  rows_.assign(kinds_.size(), {});
  for (std::size_t i = 0; i < kinds_.size(); ++i) {
    rows_[i].kind = &kinds_[i];
    GtkWidget* section = kindSection(rows_[i]);
    gtk_box_pack_start(GTK_BOX(list_), section, FALSE, FALSE, 0);
    gtk_widget_show_all(section);
  }
}

GtkWidget* GalleryWindow::kindSection(KindRow& row) {
  const KindInfo& kind = *row.kind;
  GtkWidget* section = gtk_box_new(GTK_ORIENTATION_VERTICAL, 6);
  GtkWidget* top = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 12);
  // The name takes the focus on its way through the window, so that a screen reader says the
  // kind and how many are placed before its families.
  row.heading = gtk_label_new(kind.name.c_str());
  gtk_label_set_selectable(GTK_LABEL(row.heading), TRUE);
  gtk_style_context_add_class(gtk_widget_get_style_context(row.heading), "vx-gallery-kind");
  setAccessibleName(row.heading, headingName(kind, 0));
  atk_object_set_description(gtk_widget_get_accessible(row.heading), kind.description.c_str());
  row.count = gtk_label_new(placedText(0).c_str());
  dim(row.count);
  gtk_box_pack_start(GTK_BOX(top), row.heading, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(top), row.count, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(section), top, FALSE, FALSE, 0);
  GtkWidget* description = wrappedLabel(kind.description);
  dim(description);
  gtk_box_pack_start(GTK_BOX(section), description, FALSE, FALSE, 0);
  GtkWidget* families = gtk_flow_box_new();
  gtk_flow_box_set_selection_mode(GTK_FLOW_BOX(families), GTK_SELECTION_NONE);
  gtk_flow_box_set_homogeneous(GTK_FLOW_BOX(families), FALSE);
  gtk_flow_box_set_column_spacing(GTK_FLOW_BOX(families), 12);
  gtk_flow_box_set_row_spacing(GTK_FLOW_BOX(families), 12);
  for (const host::WidgetFamily family : kind.families) {
    gtk_container_add(GTK_CONTAINER(families), familyButton(row, family));
  }
  gtk_box_pack_start(GTK_BOX(section), families, FALSE, FALSE, 0);
  return section;
}

GtkWidget* GalleryWindow::familyButton(KindRow& row, host::WidgetFamily family) {
  const host::WidgetSize size = host::size(family);
  GtkWidget* image = gtk_drawing_area_new();
  gtk_widget_set_size_request(image, static_cast<int>(size.width), static_cast<int>(size.height));
  gtk_widget_set_halign(image, GTK_ALIGN_START);
  g_signal_connect(image, "draw", G_CALLBACK(drawPicture), nullptr);
  row.images[family] = image;
  std::string words = familyWords(family);
  words.front() = static_cast<char>(g_ascii_toupper(words.front()));
  GtkWidget* caption = gtk_label_new(words.c_str());
  dim(caption);
  GtkWidget* content = gtk_box_new(GTK_ORIENTATION_VERTICAL, 4);
  gtk_box_pack_start(GTK_BOX(content), image, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(content), caption, FALSE, FALSE, 0);
  GtkWidget* button = gtk_button_new();
  gtk_button_set_relief(GTK_BUTTON(button), GTK_RELIEF_NONE);
  gtk_style_context_add_class(gtk_widget_get_style_context(button), "vx-gallery-family");
  gtk_container_add(GTK_CONTAINER(button), content);
  setAccessibleName(button, familyLabel(*row.kind, family));
  gtk_widget_set_tooltip_text(button, ("Place " + familyLabel(*row.kind, family)).c_str());
  g_object_set_data(G_OBJECT(button), kRowKey, GSIZE_TO_POINTER(&row - rows_.data()));
  g_object_set_data(G_OBJECT(button), kFamilyKey, GINT_TO_POINTER(static_cast<int>(family)));
  g_signal_connect(button, "clicked", G_CALLBACK(clicked), this);
  // The flow box's own children would take the focus first; the button alone does.
  GtkWidget* child = gtk_flow_box_child_new();
  gtk_widget_set_can_focus(child, FALSE);
  gtk_widget_set_halign(child, GTK_ALIGN_START);
  gtk_container_add(GTK_CONTAINER(child), button);
  return child;
}

void GalleryWindow::clicked(GtkButton* button, gpointer data) {
  auto* self = static_cast<GalleryWindow*>(data);
  const auto index = GPOINTER_TO_SIZE(g_object_get_data(G_OBJECT(button), kRowKey));
  const auto family = static_cast<host::WidgetFamily>(
      GPOINTER_TO_INT(g_object_get_data(G_OBJECT(button), kFamilyKey)));
  if (index < self->rows_.size() && self->chosen_) self->chosen_(*self->rows_[index].kind, family);
}

void GalleryWindow::showPicture(const GalleryPicture& picture) {
  for (KindRow& row : rows_) {
    if (row.kind->kind != picture.kind) continue;
    const auto image = row.images.find(picture.family);
    if (image == row.images.end()) return;
    cairo_surface_t* surface = cairo_image_surface_create_from_png(picture.image.c_str());
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
      cairo_surface_destroy(surface);
      return;
    }
    cairo_surface_set_device_scale(surface, picture.scale, picture.scale);
    g_object_set_data_full(G_OBJECT(image->second), kPictureKey, surface,
                           reinterpret_cast<GDestroyNotify>(cairo_surface_destroy));
    gtk_widget_queue_draw(image->second);
    return;
  }
}

void GalleryWindow::showCounts(const Placements& placements) {
  for (KindRow& row : rows_) {
    const std::size_t count = placedCount(placements, row.kind->kind);
    gtk_label_set_text(GTK_LABEL(row.count), placedText(count).c_str());
    setAccessibleName(row.heading, headingName(*row.kind, count));
  }
}

void GalleryWindow::showReason(const std::optional<std::string>& reason) {
  gtk_label_set_text(GTK_LABEL(reason_), reason.value_or("").c_str());
  gtk_widget_set_visible(reason_, reason.has_value());
}

void GalleryWindow::say(const std::string& notice) {
  gtk_label_set_text(GTK_LABEL(notice_), notice.c_str());
  gtk_widget_set_visible(notice_, !notice.empty());
}

}  // namespace vx::desktop
