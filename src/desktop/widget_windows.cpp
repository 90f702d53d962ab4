#include "desktop/widget_windows.hpp"

#include <iostream>
#include <stdexcept>

#include "desktop/monitor_areas.hpp"
#include "desktop/placement_edits.hpp"
#include "desktop/widget_moves.hpp"

namespace vx::desktop {
namespace {

// The primary monitor's index among the display's, the first where none is primary.
std::size_t primaryIndex(GdkDisplay* display) {
  GdkMonitor* primary = gdk_display_get_primary_monitor(display);
  for (int i = 0; i < gdk_display_get_n_monitors(display); ++i) {
    if (gdk_display_get_monitor(display, i) == primary) return static_cast<std::size_t>(i);
  }
  return 0;
}

}  // namespace

WidgetWindows::WidgetWindows(Host& host, WindowSystem system) : host_(host), system_(system) {
  GdkDisplay* display = gdk_display_get_default();
  g_signal_connect(display, "monitor-added", G_CALLBACK(monitorAdded), this);
  g_signal_connect(display, "monitor-removed", G_CALLBACK(monitorRemoved), this);
  for (int i = 0; i < gdk_display_get_n_monitors(display); ++i) {
    watch(gdk_display_get_monitor(display, i));
  }
}

WidgetWindows::~WidgetWindows() {
  if (pending_ != 0) g_source_remove(pending_);
  GdkDisplay* display = gdk_display_get_default();
  g_signal_handlers_disconnect_by_data(display, this);
  for (int i = 0; i < gdk_display_get_n_monitors(display); ++i) {
    g_signal_handlers_disconnect_by_data(gdk_display_get_monitor(display, i), this);
  }
}

void WidgetWindows::watch(GdkMonitor* monitor) {
  g_signal_connect(monitor, "notify::geometry", G_CALLBACK(monitorChanged), this);
  g_signal_connect(monitor, "notify::scale-factor", G_CALLBACK(monitorChanged), this);
}

void WidgetWindows::placeAgainSoon() {
  if (pending_ == 0) pending_ = g_idle_add(placeAgain, this);
}

void WidgetWindows::drawn(const Placement& placement, const nlohmann::json& record) {
  Shown& shown = windows_[placement.id];
  if (shown.window && shown.placement.position != placement.position) shown.window.reset();
  shown.placement = placement;
  shown.record = record;
  show(shown);
}

void WidgetWindows::moved(const Placement& placement) {
  const auto found = windows_.find(placement.id);
  if (found == windows_.end()) return;
  found->second.placement = placement;
  if (found->second.window) found->second.window->moveTo(placement);
}

void WidgetWindows::dropped(const std::string& id, Position corner) {
  const auto found = windows_.find(id);
  if (found == windows_.end() || !found->second.window) return;
  GdkDisplay* display = gdk_display_get_default();
  const std::vector<Area> monitors = monitorAreas(display);
  try {
    const Placements saved = updatePlacements(host_.placementsPath(), [&](Placements& all) {
      const auto spot = dropSpot(all, id, corner, monitors, primaryIndex(display));
      if (!spot) throw std::runtime_error("there is no room for it there");
      all.find(id)->position = *spot;
    });
    // The host follows the file and hands the new placement to `moved` in a moment.
    found->second.window->moveTo(*saved.find(id));
  } catch (const std::exception& error) {
    std::cerr << "vantorix-widget-host: widget " << id << " stays where it was: " << error.what()
              << "\n";
    found->second.window->moveTo(found->second.placement);
  }
}

void WidgetWindows::show(Shown& shown) {
  if (!shown.window) {
    const KindInfo* kind = findKind(host_.kinds(), shown.placement.kind);
    const std::string id = shown.placement.id;
    shown.window = std::make_unique<WidgetWindow>(
        shown.placement, kind != nullptr ? kind->name : shown.placement.kind, system_,
        WidgetWindow::Calls{[this, id](int scale) { host_.setWidgetScale(id, scale); },
                            [this, id](Position corner) { dropped(id, corner); }});
    shown.window->onMenu([this, id](GtkWidget* window, const GdkEvent* trigger) {
      popUpWidgetMenu(window, id, trigger, menuActions_);
    });
  }
  const nlohmann::json& record = shown.record;
  const auto image = record.find("image");
  if (image == record.end() || !image->is_string()) return;
  const auto scale = record.find("scale");
  shown.window->show(host_.outputFolder() / image->get<std::string>(),
                     scale != record.end() && scale->is_number() ? scale->get<double>() : 1.0,
                     record.value("links", nlohmann::json::array()));
  shown.window->tell(accessibleContent(record));
}

void WidgetWindows::monitorAdded(GdkDisplay*, GdkMonitor* monitor, gpointer data) {
  auto* self = static_cast<WidgetWindows*>(data);
  self->watch(monitor);
  self->placeAgainSoon();
}

void WidgetWindows::monitorRemoved(GdkDisplay*, GdkMonitor* monitor, gpointer data) {
  auto* self = static_cast<WidgetWindows*>(data);
  g_signal_handlers_disconnect_by_data(monitor, self);
  self->placeAgainSoon();
}

void WidgetWindows::monitorChanged(GObject*, GParamSpec*, gpointer data) {
  static_cast<WidgetWindows*>(data)->placeAgainSoon();
}

gboolean WidgetWindows::placeAgain(gpointer data) {
  auto* self = static_cast<WidgetWindows*>(data);
  self->pending_ = 0;
  for (auto& [id, shown] : self->windows_) {
    shown.window.reset();
    self->show(shown);
  }
  return G_SOURCE_REMOVE;
}

}  // namespace vx::desktop
