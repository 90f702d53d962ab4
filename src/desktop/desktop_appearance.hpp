#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include <gio/gio.h>
#include <glib-object.h>

#include "base/owned.hpp"

namespace vx::desktop {

// The desktop's light or dark preference: the desktop portal's colour scheme where a portal
// answers (1 prefers dark, 2 prefers light, 0 has no preference), GTK's own settings otherwise.
// Needs GTK to be initialised.
class DesktopAppearance {
 public:
  DesktopAppearance();
  ~DesktopAppearance();
  DesktopAppearance(const DesktopAppearance&) = delete;
  DesktopAppearance& operator=(const DesktopAppearance&) = delete;

  // "light" or "dark".
  [[nodiscard]] std::string scheme() const;
  // Calls `changed` with the scheme whenever the desktop's preference changes.
  void follow(std::function<void(const std::string&)> changed);
  void stopFollowing();

 private:
  static void settingsChanged(GObject*, GParamSpec*, gpointer data);
  static void portalChanged(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                            const gchar*, GVariant* parameters, gpointer data);

  base::Owned<GDBusConnection, g_object_unref> bus_;
  guint subscription_ = 0;
  std::optional<std::uint32_t> portal_;
  std::function<void(const std::string&)> changed_;
};

}  // namespace vx::desktop
