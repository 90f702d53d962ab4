#pragma once

#include <functional>
#include <optional>

#include <gtk/gtk.h>

#include "desktop/placements.hpp"
#include "desktop/window_system.hpp"

namespace vx::desktop {

// Moving a widget window with the pointer: button 1 pressed and moved beyond the toolkit's drag
// threshold drags the window along on X11 (positions in points on the whole desktop); releasing
// it drops the window there, where a layer surface then goes. A press released without moving
// that far stays a click.
class WidgetDrag {
 public:
  struct Calls {
    std::function<Position()> shownAt;             // where the window's corner is now
    std::function<void(Position corner)> follow;   // shows the window with its corner there
    std::function<void(Position corner)> dropped;  // the drag ended with the corner there
  };
  WidgetDrag(GtkWidget* window, WindowSystem system, Calls calls);

  void pressed(const GdkEventButton& event);
  void moved(const GdkEventMotion& event);
  // Whether the release ended a drag (and is then no click).
  bool released(const GdkEventButton& event);

 private:
  // Where the pointer is on the whole desktop, in points.
  [[nodiscard]] Position pointer(double x, double y, double xRoot, double yRoot) const;

  GtkWidget* window_;
  WindowSystem system_;
  Calls calls_;
  std::optional<Position> pressedAt_;  // the pointer, when button 1 went down
  Position start_;                     // the window's corner then
  Position local_;                     // the pointer in the window then
  bool dragging_ = false;
};

}  // namespace vx::desktop
