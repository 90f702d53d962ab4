#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include <cairo.h>
#include <gtk/gtk.h>
#include <nlohmann/json.hpp>

#include "base/owned.hpp"
#include "desktop/accessible_content.hpp"
#include "desktop/monitor_areas.hpp"
#include "desktop/placements.hpp"
#include "desktop/widget_drag.hpp"
#include "desktop/window_system.hpp"

namespace vx::desktop {

// One widget's window: undecorated, titled with its kind's name, of its family's size in points,
// with the widget's rounded corners, at its place, showing the widget's latest drawing and
// opening a tapped link with the desktop's handler for its scheme. Dragged with button 1 (or
// moved a grid step with Alt and an arrow key) it follows the pointer and asks to be dropped.
class WidgetWindow {
 public:
  struct Calls {
    // With the window's monitor scale once it is shown, and again when the window moves to a
    // monitor of another scale.
    std::function<void(int scale)> scaleChanged;
    // The user dropped the widget with its corner at this position (points on the desktop).
    std::function<void(Position corner)> dropped;
  };
  WidgetWindow(const Placement& placement, const std::string& title, WindowSystem system,
               Calls calls);
  ~WidgetWindow();
  WidgetWindow(const WidgetWindow&) = delete;
  WidgetWindow& operator=(const WidgetWindow&) = delete;

  // Shows the drawing in `image` (a PNG of `scale` pixels per point) and its link map.
  // A file that cannot be read leaves the window as it was.
  void show(const std::filesystem::path& image, double scale, nlohmann::json links);
  // Hands the window what screen readers and the keyboard find in the drawing shown.
  void tell(std::vector<AccessibleItem> content);
  // Who opens the widget's context menu: on a right click (`trigger` the press) or from the
  // keyboard, Menu or Shift+F10 (`trigger` null).
  using MenuRequest = std::function<void(GtkWidget* window, const GdkEvent* trigger)>;
  void onMenu(MenuRequest request) { menu_ = std::move(request); }
  [[nodiscard]] const Position& position() const { return position_; }
  // Puts the window where `placement` shows (after a move).
  void moveTo(const Placement& placement);

 private:
  static gboolean draw(GtkWidget*, cairo_t* cr, gpointer data);
  static gboolean pressed(GtkWidget*, GdkEventButton* event, gpointer data);
  static gboolean released(GtkWidget*, GdkEventButton* event, gpointer data);
  static gboolean motion(GtkWidget*, GdkEventMotion* event, gpointer data);
  static gboolean keyPressed(GtkWidget*, GdkEventKey* event, gpointer data);
  // Shows the window with its corner at `corner` while it is dragged (on a layer surface, kept
  // on its monitor).
  void follow(Position corner);
  static gboolean contextPressed(GtkWidget*, GdkEventButton* event, gpointer data);
  static gboolean menuKey(GtkWidget*, gpointer data);
  static void mapped(GtkWidget*, gpointer data);
  static void scaleNotified(GObject*, GParamSpec*, gpointer data);
  static void compositingChanged(GdkScreen*, gpointer data);

  GtkWidget* window_ = nullptr;
  GtkWidget* area_ = nullptr;
  GtkWidget* layer_ = nullptr;  // over the drawing: its texts and links for screen readers
  Position position_;
  WindowSystem system_;
  DisplayPlace place_;  // where the window shows
  std::unique_ptr<WidgetDrag> drag_;
  int width_ = 0;
  int height_ = 0;
  base::Owned<cairo_surface_t, cairo_surface_destroy> image_;
  double scale_ = 1;
  std::uint32_t edge_ = 0;  // fills a window cut to shape behind the drawing
  nlohmann::json links_ = nlohmann::json::array();
  Calls calls_;
  MenuRequest menu_;
};

}  // namespace vx::desktop
