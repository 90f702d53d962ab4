#include "ui/link_map.hpp"

#include "ui/reading_order.hpp"

namespace vx::ui {

std::vector<LinkArea> linkMap(const Layout& layout) {
  const Size canvas = layout.canvasSize();
  std::vector<LinkArea> widget;
  std::vector<LinkArea> links;
  layout.visit([&](const Box& box, const Rect& frame, int) {
    if (!box.link || frame.width <= 0 || frame.height <= 0) return;
    if (box.linksWholeWidget) {
      widget.push_back({{0, 0, canvas.width, canvas.height}, *box.link, spokenName(box)});
    } else {
      links.push_back({frame, *box.link, spokenName(box)});
    }
  });
  widget.insert(widget.end(), links.begin(), links.end());
  return widget;
}

std::optional<std::string> linkAt(const std::vector<LinkArea>& links, Point point) {
  for (auto it = links.rbegin(); it != links.rend(); ++it) {
    if (it->rect.contains(point)) return it->url;
  }
  return std::nullopt;
}

}  // namespace vx::ui
