#include "views/waiting_view.hpp"

#include <string>
#include <vector>

#include "present/deep_link.hpp"
#include "present/widget_header.hpp"
#include "views/waiting_parts.hpp"

namespace vx::views {

namespace {

// The count sits in the header only where the body does not show it in large type.
std::string headerCount(std::size_t count, WaitingView::Size size) {
  if (size == WaitingView::Size::small || count == 0) return "";
  return std::to_string(count);
}

}  // namespace

ui::Element WaitingView::element(const present::Environment& env) const {
  static const Snapshot kNothing;
  const Snapshot& shown = snapshot ? *snapshot : kNothing;
  const std::vector<WaitingItem> waiting = shown.waiting();
  const ui::Element header =
      present::WidgetHeader(ui::text("Needs you"), 0, headerCount(waiting.size(), size), env);

  ui::Element body;
  if (waiting.empty()) {
    body = waiting::caughtUp(env);
  } else if (size == Size::small) {
    body = waiting::counts(waiting, env);
  } else {
    body = waiting::list(waiting, shown, showDetails, now, size, env);
  }

  ui::Element view = ui::column({header, body}).spacing(0).align(ui::HAlign::leading);
  // The small widget is one tap target, margins included: the first item.
  if (size == Size::small && !waiting.empty()) {
    view = view.widgetLink(present::deepLink(waiting.front().path));
  }
  return view;
}

}  // namespace vx::views
