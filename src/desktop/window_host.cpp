#include "desktop/window_host.hpp"

#include <algorithm>
#include <csignal>
#include <iostream>

#include <glib-unix.h>
#include <gtk/gtk.h>

#include "desktop/desktop_appearance.hpp"
#include "desktop/editor_launcher.hpp"
#include "desktop/host_core.hpp"
#include "desktop/permission_dialogs.hpp"
#include "desktop/widget_edits.hpp"
#include "desktop/widget_windows.hpp"
#include "desktop/window_system.hpp"
#include "desktop/without_display.hpp"

namespace vx::desktop {
namespace {

// How often the host's work is looked at between GTK's own events.
constexpr guint kStepMilliseconds = 40;

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

// The primary monitor's scale: the one drawings start at before a window knows its own.
int primaryScale() {
  GdkDisplay* display = gdk_display_get_default();
  GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
  if (monitor == nullptr && gdk_display_get_n_monitors(display) > 0) {
    monitor = gdk_display_get_monitor(display, 0);
  }
  return monitor == nullptr ? 1 : std::max(gdk_monitor_get_scale_factor(monitor), 1);
}

// The widgets' context menu: the editor runs as a child of the host; a removal goes through the
// placements file, which the host follows (withdrawing the push token with the last widget).
WidgetMenuActions menuActions(EditorLauncher& editors, const std::filesystem::path& file) {
  WidgetMenuActions actions;
  actions.edit = [&editors](const std::string& id) { editors.edit(id); };
  actions.remove = [&editors, file](const std::string& id) {
    editors.close(id);
    try {
      (void)removePlacement(file, id);
    } catch (const std::exception& error) {
      std::cerr << "vantorix-widget-host: cannot remove widget " << id << ": " << error.what()
                << "\n";
    }
  };
  return actions;
}

}  // namespace

int runWindowed(HostOptions options, bool scaleGiven) {
  std::signal(SIGPIPE, SIG_IGN);
  const auto system = openWindowSystem();
  if (!system) return runWithoutDisplay(options);
  if (!scaleGiven) options.scale = primaryScale();
  DesktopAppearance appearance;
  options.scheme = appearance.scheme();
  try {
    Host host(options);
    if (scaleGiven) host.keepScale();
    WidgetWindows windows(host, *system);
    EditorLauncher editors(options.extension);
    windows.setMenuActions(menuActions(editors, placementsFile(options.folder)));
    host.onDrawn([&windows](const Placement& placement, const nlohmann::json& record) {
      windows.drawn(placement, record);
    });
    host.onRemoved([&windows](const std::string& id) { windows.removed(id); });
    host.onMoved([&windows](const Placement& placement) { windows.moved(placement); });
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
