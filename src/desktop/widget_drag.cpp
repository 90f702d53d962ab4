#include "desktop/widget_drag.hpp"

#include <cmath>

namespace vx::desktop {

WidgetDrag::WidgetDrag(GtkWidget* window, WindowSystem system, Calls calls)
    : window_(window), system_(system), calls_(std::move(calls)) {}

Position WidgetDrag::pointer(double x, double y, double xRoot, double yRoot) const {
  // X11 tells where the pointer is on the screen; a Wayland surface knows only its own
  // coordinates, from where the window was last put.
  if (system_ == WindowSystem::x11) {
    return {static_cast<int>(std::lround(xRoot)), static_cast<int>(std::lround(yRoot))};
  }
  const Position corner = calls_.shownAt();
  return {corner.x + static_cast<int>(std::lround(x)), corner.y + static_cast<int>(std::lround(y))};
}

void WidgetDrag::pressed(const GdkEventButton& event) {
  if (event.button != GDK_BUTTON_PRIMARY || event.type != GDK_BUTTON_PRESS) return;
  pressedAt_ = pointer(event.x, event.y, event.x_root, event.y_root);
  start_ = calls_.shownAt();
  local_ = {pressedAt_->x - start_.x, pressedAt_->y - start_.y};
  dragging_ = false;
}

void WidgetDrag::moved(const GdkEventMotion& event) {
  if (!pressedAt_ || (event.state & GDK_BUTTON1_MASK) == 0) return;
  const Position now = pointer(event.x, event.y, event.x_root, event.y_root);
  if (!dragging_ &&
      !gtk_drag_check_threshold(window_, pressedAt_->x, pressedAt_->y, now.x, now.y)) {
    return;
  }
  dragging_ = true;
  // A layer surface moved now would take its new place only at a later commit, while the
  // pointer's coordinates keep coming relative to wherever the compositor has it at the time:
  // following them overshoots more with every step. It keeps its place until the drop instead,
  // the pointer's coordinates staying relative to it (the button holds the pointer there).
  if (system_ == WindowSystem::x11) calls_.follow({now.x - local_.x, now.y - local_.y});
}

bool WidgetDrag::released(const GdkEventButton& event) {
  if (event.button != GDK_BUTTON_PRIMARY || !pressedAt_) return false;
  pressedAt_.reset();
  if (!dragging_) return false;
  dragging_ = false;
  const Position now = pointer(event.x, event.y, event.x_root, event.y_root);
  calls_.dropped({now.x - local_.x, now.y - local_.y});
  return true;
}

}  // namespace vx::desktop
