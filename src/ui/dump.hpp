#pragma once

#include <string>

#include "ui/layout.hpp"

namespace vx::ui {

// A laid-out tree as indented text, one box per line: its kind, frame on the canvas
// ("x,y wxh"), and what it draws — a text's lines as laid out, whether it was truncated and at
// what scale; a drawing's shapes; paint-time properties such as links and tags. For tests and
// for anyone chasing a layout bug.
[[nodiscard]] std::string dumpText(const Layout& layout);

// The same as JSON: {"kind", "frame": [x, y, w, h], ..., "children": [...]}.
[[nodiscard]] std::string dumpJson(const Layout& layout, int indent = 2);

}  // namespace vx::ui
