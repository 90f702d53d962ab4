#include "ui/layout.hpp"

#include "ui/layout_context.hpp"

namespace vx::ui {

namespace {

void walk(const Box& box, Point origin, int depth,
          const std::function<void(const Box&, const Rect&, int)>& visit) {
  visit(box, {origin.x, origin.y, box.size.width, box.size.height}, depth);
  for (const auto& child : box.children) {
    walk(*child.box, {origin.x + child.origin.x, origin.y + child.origin.y}, depth + 1, visit);
  }
}

// The first box tagged `tag` and its origin, depth first in painting order.
const Box* findTagged(const Box& box, Point origin, std::string_view tag, Point& at) {
  if (box.tag && *box.tag == tag) {
    at = origin;
    return &box;
  }
  for (const auto& child : box.children) {
    if (const Box* found = findTagged(
            *child.box, {origin.x + child.origin.x, origin.y + child.origin.y}, tag, at)) {
      return found;
    }
  }
  return nullptr;
}

}  // namespace

void Layout::visit(const std::function<void(const Box&, const Rect&, int)>& visit) const {
  walk(*root_, origin_, 0, visit);
}

std::optional<Rect> Layout::frameOf(std::string_view tag) const {
  Point at;
  const Box* box = findTagged(*root_, origin_, tag, at);
  if (!box) return std::nullopt;
  return Rect{at.x, at.y, box->size.width, box->size.height};
}

const Box* Layout::find(std::string_view tag) const {
  Point at;
  return findTagged(*root_, origin_, tag, at);
}

Layout layout(const Element& root, Size canvas) {
  LayoutContext ctx;
  BoxPtr box = ctx.layout(root.node(), LayoutContext::rootEnvironment(), Proposal::of(canvas));
  const Point origin{alignOffset(HAlign::center, canvas.width, box->size.width),
                     alignOffset(VAlign::center, canvas.height, box->size.height)};
  return Layout(canvas, std::move(box), origin);
}

}  // namespace vx::ui
