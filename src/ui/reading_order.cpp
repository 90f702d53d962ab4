#include "ui/reading_order.hpp"

namespace vx::ui {

namespace {

bool hasArea(const Box& box) {
  return box.size.width > 0 && box.size.height > 0;
}

// Appends the texts of `box` (at `origin` on the canvas) in tree order. With `skipLinks`, the
// subtrees of links inside it are passed over.
void collect(const Box& box, Point origin, bool skipLinks, std::vector<TextArea>& out) {
  if (box.opacity <= 0) return;
  const Rect frame{origin.x, origin.y, box.size.width, box.size.height};
  if (box.label) {
    if (!box.label->empty() && hasArea(box)) out.push_back({*box.label, frame});
    return;
  }
  if (const auto* run = std::get_if<contents::TextRun>(&box.content)) {
    if (!run->source.empty() && !run->lines.empty() && hasArea(box)) {
      out.push_back({run->source, frame});
    }
  }
  for (const PlacedBox& child : box.children) {
    if (skipLinks && child.box->link) continue;
    collect(*child.box, {origin.x + child.origin.x, origin.y + child.origin.y}, skipLinks, out);
  }
}

std::string joined(const std::vector<TextArea>& texts) {
  std::string out;
  for (const TextArea& t : texts) {
    if (!out.empty()) out += ", ";
    out += t.text;
  }
  return out;
}

}  // namespace

std::vector<TextArea> readingOrder(const Layout& layout) {
  std::vector<TextArea> out;
  collect(layout.root(), layout.rootOrigin(), false, out);
  return out;
}

std::string spokenName(const Box& box) {
  if (box.label) return *box.label;
  std::vector<TextArea> own;
  for (const PlacedBox& child : box.children) {
    if (!child.box->link) collect(*child.box, child.origin, true, own);
  }
  if (!own.empty()) return joined(own);
  std::vector<TextArea> all;
  for (const PlacedBox& child : box.children) collect(*child.box, child.origin, false, all);
  return joined(all);
}

}  // namespace vx::ui
