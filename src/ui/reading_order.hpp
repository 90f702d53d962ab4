#pragma once

#include <string>
#include <vector>

#include "ui/layout.hpp"

namespace vx::ui {

// A text as a screen reader meets it: what it says and where it lies, in canvas points.
struct TextArea {
  std::string text;
  Rect rect;
  friend bool operator==(const TextArea&, const TextArea&) = default;
};

// Every text of a layout in the order the tree lays them out: a row left to right, a column
// top to bottom, a layer after what lies below it. A text is its whole source, also where it
// was truncated on screen. An element with a label reads as that label, one with an empty label
// (a decoration) and anything fully transparent not at all; empty texts and texts without area
// are left out.
[[nodiscard]] std::vector<TextArea> readingOrder(const Layout& layout);

// What a screen reader calls an element, such as a tap target: its label when it has one,
// otherwise the texts inside it that belong to no link nested in it, joined by ", " (all the
// texts inside it when every one belongs to a nested link).
[[nodiscard]] std::string spokenName(const Box& box);

}  // namespace vx::ui
