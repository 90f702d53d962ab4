#include "desktop/window_host.hpp"

#include <algorithm>
#include <csignal>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <optional>

#include <cairo.h>
#include <glib-unix.h>
#include <gtk/gtk.h>
#ifdef GDK_WINDOWING_X11
#include <gdk/x11/gdkx.h>
#endif

#include "base/owned.hpp"
#include "desktop/host_core.hpp"
#include "desktop/without_display.hpp"

namespace vx::desktop {
namespace {

using Json = nlohmann::json;

// How often the host's work is looked at between GTK's own events.
constexpr guint kStepMilliseconds = 40;

using Surface = base::Owned<cairo_surface_t, cairo_surface_destroy>;

// One widget's window: the drawing it shows and the links in it.
struct WidgetWindow {
  GtkWidget* window = nullptr;
  GtkWidget* area = nullptr;
  Position position;
  Surface image;
  double scale = 1;
  Json links = Json::array();

  ~WidgetWindow() {
    if (window != nullptr) gtk_window_destroy(GTK_WINDOW(window));
  }
};

void drawWidget(GtkDrawingArea*, cairo_t* cr, int, int, gpointer data) {
  const auto* widget = static_cast<const WidgetWindow*>(data);
  if (!widget->image) return;
  // The image has `scale` pixels per point; drawn at 1/scale it lands pixel for pixel on a
  // monitor of that scale.
  cairo_scale(cr, 1 / widget->scale, 1 / widget->scale);
  cairo_set_source_surface(cr, widget->image.get(), 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  cairo_paint(cr);
}

void clicked(GtkGestureClick*, int, double x, double y, gpointer data) {
  const auto* widget = static_cast<const WidgetWindow*>(data);
  for (const Json& link : widget->links) {
    const Json& rect = link.at("rect");
    const double left = rect.at(0).get<double>(), top = rect.at(1).get<double>();
    if (x >= left && y >= top && x < left + rect.at(2).get<double>() &&
        y < top + rect.at(3).get<double>()) {
      g_autoptr(GError) error = nullptr;
      const std::string url = link.at("url").get<std::string>();
      if (!g_app_info_launch_default_for_uri(url.c_str(), nullptr, &error)) {
        std::cerr << "vantorix-widget-host: cannot open " << url << ": " << error->message << "\n";
      }
      return;
    }
  }
}

void placeWindow(GtkWidget* window, gpointer data) {
#ifdef GDK_WINDOWING_X11
  const auto* widget = static_cast<const WidgetWindow*>(data);
  GdkSurface* surface = gtk_native_get_surface(GTK_NATIVE(window));
  if (GDK_IS_X11_SURFACE(surface)) {
    Display* display = gdk_x11_display_get_xdisplay(gdk_surface_get_display(surface));
    XMoveWindow(display, gdk_x11_surface_get_xid(surface), widget->position.x, widget->position.y);
  }
#else
  (void)window;
  (void)data;
#endif
}

// The desktop's light or dark preference: the desktop portal's colour scheme where a portal
// answers (1 prefers dark, 2 prefers light, 0 has no preference), GTK's own settings otherwise.
class Appearance {
 public:
  Appearance() : bus_(g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr)) {
    if (!bus_) return;
    g_autoptr(GVariant) reply =
        g_dbus_connection_call_sync(bus_.get(), kPortal, kPortalPath, kSettings, "Read",
                                    g_variant_new("(ss)", kNamespace, kKey), G_VARIANT_TYPE("(v)"),
                                    G_DBUS_CALL_FLAGS_NONE, 500, nullptr, nullptr);
    if (reply == nullptr) return;
    g_autoptr(GVariant) value = nullptr;
    g_variant_get(reply, "(v)", &value);
    portal_ = colourScheme(value);
  }
  ~Appearance() {
    if (subscription_ != 0) g_dbus_connection_signal_unsubscribe(bus_.get(), subscription_);
  }
  Appearance(const Appearance&) = delete;
  Appearance& operator=(const Appearance&) = delete;

  [[nodiscard]] std::string scheme() const {
    if (portal_ == 1) return "dark";
    if (portal_ == 2) return "light";
    GtkSettings* settings = gtk_settings_get_default();
    gboolean preferDark = FALSE;
    g_autofree gchar* theme = nullptr;
    g_object_get(settings, "gtk-application-prefer-dark-theme", &preferDark, "gtk-theme-name",
                 &theme, nullptr);
    const bool darkTheme = theme != nullptr && g_str_has_suffix(theme, "-dark");
    return preferDark || darkTheme ? "dark" : "light";
  }

  // Calls `changed` with the scheme whenever the desktop's preference changes.
  void follow(std::function<void(const std::string&)> changed) {
    changed_ = std::move(changed);
    GtkSettings* settings = gtk_settings_get_default();
    g_signal_connect(settings, "notify::gtk-application-prefer-dark-theme",
                     G_CALLBACK(settingsChanged), this);
    g_signal_connect(settings, "notify::gtk-theme-name", G_CALLBACK(settingsChanged), this);
    if (bus_) {
      subscription_ = g_dbus_connection_signal_subscribe(
          bus_.get(), nullptr, kSettings, "SettingChanged", kPortalPath, kNamespace,
          G_DBUS_SIGNAL_FLAGS_NONE, portalChanged, this, nullptr);
    }
  }
  void stopFollowing() { g_signal_handlers_disconnect_by_data(gtk_settings_get_default(), this); }

 private:
  static constexpr const char* kPortal = "org.freedesktop.portal.Desktop";
  static constexpr const char* kPortalPath = "/org/freedesktop/portal/desktop";
  static constexpr const char* kSettings = "org.freedesktop.portal.Settings";
  static constexpr const char* kNamespace = "org.freedesktop.appearance";
  static constexpr const char* kKey = "color-scheme";

  // The value may come wrapped in one more variant.
  static std::optional<std::uint32_t> colourScheme(GVariant* value) {
    if (value == nullptr) return std::nullopt;
    if (g_variant_is_of_type(value, G_VARIANT_TYPE_VARIANT)) {
      g_autoptr(GVariant) inner = g_variant_get_variant(value);
      return colourScheme(inner);
    }
    if (!g_variant_is_of_type(value, G_VARIANT_TYPE_UINT32)) return std::nullopt;
    return g_variant_get_uint32(value);
  }

  static void settingsChanged(GObject*, GParamSpec*, gpointer data) {
    auto* self = static_cast<Appearance*>(data);
    if (self->changed_) self->changed_(self->scheme());
  }

  static void portalChanged(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                            const gchar*, GVariant* parameters, gpointer data) {
    auto* self = static_cast<Appearance*>(data);
    const gchar* space = nullptr;
    const gchar* key = nullptr;
    g_autoptr(GVariant) value = nullptr;
    g_variant_get(parameters, "(&s&sv)", &space, &key, &value);
    if (g_strcmp0(key, kKey) == 0) {
      self->portal_ = colourScheme(value);
      if (self->changed_) self->changed_(self->scheme());
    }
  }

  base::Owned<GDBusConnection, g_object_unref> bus_;
  guint subscription_ = 0;
  std::optional<std::uint32_t> portal_;
  std::function<void(const std::string&)> changed_;
};

int monitorScale() {
  GListModel* monitors = gdk_display_get_monitors(gdk_display_get_default());
  if (g_list_model_get_n_items(monitors) == 0) return 1;
  g_autoptr(GdkMonitor) monitor = static_cast<GdkMonitor*>(g_list_model_get_item(monitors, 0));
  return std::max(gdk_monitor_get_scale_factor(monitor), 1);
}

class Windows {
 public:
  explicit Windows(Host& host) : host_(host) {}

  void drawn(const Placement& placement, const Json& record) {
    std::unique_ptr<WidgetWindow>& widget = windows_[placement.id];
    if (!widget || widget->position != placement.position) widget = makeWindow(placement);
    const auto image = record.find("image");
    if (image == record.end()) return;
    const std::string path = (host_.outputFolder() / image->get<std::string>()).string();
    Surface loaded(cairo_image_surface_create_from_png(path.c_str()));
    if (cairo_surface_status(loaded.get()) != CAIRO_STATUS_SUCCESS) return;
    widget->image = std::move(loaded);
    widget->scale = record.value("scale", 1.0);
    widget->links = record.value("links", Json::array());
    gtk_widget_queue_draw(widget->area);
  }

  void removed(const std::string& id) { windows_.erase(id); }

 private:
  std::unique_ptr<WidgetWindow> makeWindow(const Placement& placement) {
    auto widget = std::make_unique<WidgetWindow>();
    const host::WidgetSize size = host::size(placement.family);
    widget->position = placement.position;
    widget->window = gtk_window_new();
    gtk_window_set_title(GTK_WINDOW(widget->window), "Vantorix widget");
    gtk_window_set_decorated(GTK_WINDOW(widget->window), FALSE);
    gtk_window_set_resizable(GTK_WINDOW(widget->window), FALSE);
    widget->area = gtk_drawing_area_new();
    gtk_drawing_area_set_content_width(GTK_DRAWING_AREA(widget->area),
                                       static_cast<int>(size.width));
    gtk_drawing_area_set_content_height(GTK_DRAWING_AREA(widget->area),
                                        static_cast<int>(size.height));
    gtk_drawing_area_set_draw_func(GTK_DRAWING_AREA(widget->area), drawWidget, widget.get(),
                                   nullptr);
    GtkGesture* click = gtk_gesture_click_new();
    g_signal_connect(click, "released", G_CALLBACK(clicked), widget.get());
    gtk_widget_add_controller(widget->area, GTK_EVENT_CONTROLLER(click));
    gtk_window_set_child(GTK_WINDOW(widget->window), widget->area);
    g_signal_connect(widget->window, "map", G_CALLBACK(placeWindow), widget.get());
    gtk_window_present(GTK_WINDOW(widget->window));
    return widget;
  }

  Host& host_;
  std::map<std::string, std::unique_ptr<WidgetWindow>> windows_;
};

// Puts the question whether an application may show notifications on screen; the host hands
// over one question at a time and stores the answer (closing the dialog answers nothing).
class PermissionDialogs {
 public:
  explicit PermissionDialogs(Host& host) : host_(host) {}

  void ask(const std::string& app) {
    GtkWidget* dialog =
        gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_QUESTION, GTK_BUTTONS_NONE,
                               "\u201c%s\u201d would like to send you notifications", app.c_str());
    gtk_message_dialog_format_secondary_text(
        GTK_MESSAGE_DIALOG(dialog), "Notifications may include alerts, sounds and badges.");
    gtk_dialog_add_button(GTK_DIALOG(dialog), "Don\u2019t Allow", GTK_RESPONSE_REJECT);
    gtk_dialog_add_button(GTK_DIALOG(dialog), "Allow", GTK_RESPONSE_ACCEPT);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_ACCEPT);
    auto* asked = new Asked{this, app};
    g_signal_connect_data(
        dialog, "response", G_CALLBACK(answered), asked,
        [](gpointer data, GClosure*) { delete static_cast<Asked*>(data); }, GConnectFlags{});
    gtk_window_present(GTK_WINDOW(dialog));
  }

 private:
  struct Asked {
    PermissionDialogs* dialogs;
    std::string app;
  };

  static void answered(GtkDialog* dialog, int response, gpointer data) {
    auto* asked = static_cast<Asked*>(data);
    std::optional<Authorization> answer;
    if (response == GTK_RESPONSE_ACCEPT) answer = Authorization::authorized;
    if (response == GTK_RESPONSE_REJECT) answer = Authorization::denied;
    const std::string app = asked->app;
    Host& host = asked->dialogs->host_;
    gtk_window_destroy(GTK_WINDOW(dialog));
    host.answerQuestion(app, answer);
  }

  Host& host_;
};

struct Loop {
  Host* host = nullptr;
  GMainLoop* main = nullptr;
};

gboolean step(gpointer data) {
  static_cast<Loop*>(data)->host->step(std::chrono::milliseconds(0));
  return G_SOURCE_CONTINUE;
}

gboolean stop(gpointer data) {
  g_main_loop_quit(static_cast<Loop*>(data)->main);
  return G_SOURCE_CONTINUE;
}

}  // namespace

int runWindowed(HostOptions options, bool scaleGiven) {
  std::signal(SIGPIPE, SIG_IGN);
  if (!gtk_init_check()) return runWithoutDisplay(options);
  if (!scaleGiven) options.scale = monitorScale();
  Appearance appearance;
  options.scheme = appearance.scheme();
  try {
    Host host(options);
    Windows windows(host);
    host.onDrawn([&windows](const Placement& placement, const Json& record) {
      windows.drawn(placement, record);
    });
    host.onRemoved([&windows](const std::string& id) { windows.removed(id); });
    PermissionDialogs dialogs(host);
    if (!options.unattendedAnswer) {
      host.onAskUser([&dialogs](const std::string& app) { dialogs.ask(app); });
    }
    host.start();
    appearance.follow([&host](const std::string& scheme) { host.setScheme(scheme); });
    g_autoptr(GMainLoop) main = g_main_loop_new(nullptr, FALSE);
    Loop loop{&host, main};
    const guint stepper = g_timeout_add(kStepMilliseconds, step, &loop);
    const guint term = g_unix_signal_add(SIGTERM, stop, &loop);
    const guint interrupt = g_unix_signal_add(SIGINT, stop, &loop);
    g_main_loop_run(loop.main);
    g_source_remove(stepper);
    g_source_remove(term);
    g_source_remove(interrupt);
    appearance.stopFollowing();
    return 0;
  } catch (const std::exception& error) {
    std::cerr << "vantorix-widget-host: " << error.what() << "\n";
    return 1;
  }
}

}  // namespace vx::desktop
