#include "desktop/desktop_appearance.hpp"

#include <gtk/gtk.h>

namespace vx::desktop {
namespace {

constexpr const char* kPortal = "org.freedesktop.portal.Desktop";
constexpr const char* kPortalPath = "/org/freedesktop/portal/desktop";
constexpr const char* kSettings = "org.freedesktop.portal.Settings";
constexpr const char* kNamespace = "org.freedesktop.appearance";
constexpr const char* kKey = "color-scheme";

// The value may come wrapped in one more variant.
std::optional<std::uint32_t> colourScheme(GVariant* value) {
  if (value == nullptr) return std::nullopt;
  if (g_variant_is_of_type(value, G_VARIANT_TYPE_VARIANT)) {
    g_autoptr(GVariant) inner = g_variant_get_variant(value);
    return colourScheme(inner);
  }
  if (!g_variant_is_of_type(value, G_VARIANT_TYPE_UINT32)) return std::nullopt;
  return g_variant_get_uint32(value);
}

}  // namespace

DesktopAppearance::DesktopAppearance()
    : bus_(g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr)) {
  if (!bus_) return;
  g_autoptr(GVariant) reply = g_dbus_connection_call_sync(
      bus_.get(), kPortal, kPortalPath, kSettings, "Read", g_variant_new("(ss)", kNamespace, kKey),
      G_VARIANT_TYPE("(v)"), G_DBUS_CALL_FLAGS_NONE, 500, nullptr, nullptr);
  if (reply == nullptr) return;
  g_autoptr(GVariant) value = nullptr;
  g_variant_get(reply, "(v)", &value);
  portal_ = colourScheme(value);
}

DesktopAppearance::~DesktopAppearance() {
  if (subscription_ != 0) g_dbus_connection_signal_unsubscribe(bus_.get(), subscription_);
}

std::string DesktopAppearance::scheme() const {
  if (portal_ == 1) return "dark";
  if (portal_ == 2) return "light";
  GtkSettings* settings = gtk_settings_get_default();
  gboolean preferDark = FALSE;
  g_autofree gchar* theme = nullptr;
  g_object_get(settings, "gtk-application-prefer-dark-theme", &preferDark, "gtk-theme-name", &theme,
               nullptr);
  const bool darkTheme = theme != nullptr && g_str_has_suffix(theme, "-dark");
  return preferDark || darkTheme ? "dark" : "light";
}

void DesktopAppearance::follow(std::function<void(const std::string&)> changed) {
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

void DesktopAppearance::stopFollowing() {
  g_signal_handlers_disconnect_by_data(gtk_settings_get_default(), this);
}

void DesktopAppearance::settingsChanged(GObject*, GParamSpec*, gpointer data) {
  auto* self = static_cast<DesktopAppearance*>(data);
  if (self->changed_) self->changed_(self->scheme());
}

void DesktopAppearance::portalChanged(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                                      const gchar*, GVariant* parameters, gpointer data) {
  auto* self = static_cast<DesktopAppearance*>(data);
  const gchar* space = nullptr;
  const gchar* key = nullptr;
  g_autoptr(GVariant) value = nullptr;
  g_variant_get(parameters, "(&s&sv)", &space, &key, &value);
  if (g_strcmp0(key, kKey) == 0) {
    self->portal_ = colourScheme(value);
    if (self->changed_) self->changed_(self->scheme());
  }
}

}  // namespace vx::desktop
