#include "ui/link_map.hpp"

namespace vx::ui {

std::vector<LinkArea> linkMap(const Layout& layout) {
  std::vector<LinkArea> links;
  layout.visit([&](const Box& box, const Rect& frame, int) {
    if (box.link && frame.width > 0 && frame.height > 0) links.push_back({frame, *box.link});
  });
  return links;
}

std::optional<std::string> linkAt(const std::vector<LinkArea>& links, Point point) {
  for (auto it = links.rbegin(); it != links.rend(); ++it) {
    if (it->rect.contains(point)) return it->url;
  }
  return std::nullopt;
}

}  // namespace vx::ui
