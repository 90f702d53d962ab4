#pragma once

#include <map>
#include <memory>
#include <string>

#include <gtk/gtk.h>
#include <nlohmann/json.hpp>

#include "desktop/host_core.hpp"
#include "desktop/widget_menu.hpp"
#include "desktop/widget_window.hpp"

namespace vx::desktop {

// A window per placed widget, made when its first drawing is in and gone with its placement;
// each window's drawings are made at the scale of the monitor it shows on. When a monitor comes
// or goes, every window is placed again (a widget whose monitor went shows on the primary one,
// and goes back when its monitor returns). A widget the user drops lands at the nearest free
// grid spot on its monitor, saved in the placements file (see `dropSpot`); where there is no
// room, or saving fails, it goes back to where it was.
class WidgetWindows {
 public:
  WidgetWindows(Host& host, WindowSystem system);
  ~WidgetWindows();
  WidgetWindows(const WidgetWindows&) = delete;
  WidgetWindows& operator=(const WidgetWindows&) = delete;

  void drawn(const Placement& placement, const nlohmann::json& record);
  void removed(const std::string& id) { windows_.erase(id); }
  // What each widget's context menu does.
  void setMenuActions(WidgetMenuActions actions) { menuActions_ = std::move(actions); }
  // Only the widget's position changed: its window goes there, keeping its drawing.
  void moved(const Placement& placement);

 private:
  struct Shown {
    Placement placement;
    nlohmann::json record;
    std::unique_ptr<WidgetWindow> window;
  };
  void show(Shown& shown);
  void dropped(const std::string& id, Position corner);
  void watch(GdkMonitor* monitor);
  // Places every window again once the display's monitors have settled (a new monitor's
  // place and scale arrive after it does).
  void placeAgainSoon();
  static void monitorAdded(GdkDisplay*, GdkMonitor* monitor, gpointer data);
  static void monitorRemoved(GdkDisplay*, GdkMonitor* monitor, gpointer data);
  static void monitorChanged(GObject*, GParamSpec*, gpointer data);
  static gboolean placeAgain(gpointer data);

  Host& host_;
  WindowSystem system_;
  std::map<std::string, Shown> windows_;
  WidgetMenuActions menuActions_;
  guint pending_ = 0;
};

}  // namespace vx::desktop
