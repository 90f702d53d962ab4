#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ui/layout.hpp"

namespace vx::ui {

// A tap target: the area of an element carrying a link, in canvas points, its URL, and the name
// a screen reader gives it (what it says, see spokenName).
struct LinkArea {
  Rect rect;
  std::string url;
  std::string name;
  friend bool operator==(const LinkArea&, const LinkArea&) = default;
};

// Every link of a layout in painting order: an enclosing link comes before the links inside
// it, and a later sibling after an earlier one. Links without area are left out. A whole-widget
// link lies under every other link and covers the canvas.
[[nodiscard]] std::vector<LinkArea> linkMap(const Layout& layout);

// The URL a tap at `point` opens: the topmost (last painted) link containing it.
[[nodiscard]] std::optional<std::string> linkAt(const std::vector<LinkArea>& links, Point point);

}  // namespace vx::ui
