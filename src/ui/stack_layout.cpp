// Rows and columns, written once over a primary axis (the stack's direction) and a cross axis.
//
// The space on the primary axis is handed out in passes, as the platform's stacks do:
//  1. the spacing between children is set aside;
//  2. each child's flexibility is measured: its length when offered everything minus its length
//     when offered nothing;
//  3. children are served by layout priority, highest first; while one priority group is served,
//     the minimum lengths of all lower-priority children stay reserved;
//  4. within a group the least flexible child is served first, and each is offered an equal
//     share of what is left; whatever a child does not take goes back into the pool for the
//     children after it;
//  5. spacers come last in their group: the others are offered all but the spacers' minimums,
//     and the spacers share the rest.
// Every child is served exactly once, so the passes end without a loop guard.
#include <algorithm>
#include <cmath>

#include "ui/layout_rules.hpp"

namespace vx::ui {

namespace {

struct Child {
  NodePtr node;
  std::size_t index = 0;  // position in the stack
  bool spacer = false;
  double minLength = 0;
  double flexibility = 0;
  BoxPtr box;
};

bool isSpacer(const Node& node) {
  return std::holds_alternative<nodes::Spacer>(node.content);
}

// Step 2.
void measureFlexibility(LayoutContext& ctx, std::vector<Child>& children, Axis axis, int env,
                        std::optional<double> across) {
  for (auto& c : children) {
    const double least =
        along(ctx.layout(c.node, env, Proposal::make(axis, 0.0, across))->size, axis);
    const double most =
        along(ctx.layout(c.node, env, Proposal::make(axis, infinity, across))->size, axis);
    c.minLength = least;
    c.flexibility = std::isinf(most) ? infinity : std::max(0.0, most - least);
  }
}

// Steps 3 and 4.
void distribute(LayoutContext& ctx, std::vector<Child>& children, Axis axis, int env,
                double available, std::optional<double> across) {
  std::vector<Child*> order;
  for (auto& c : children) order.push_back(&c);
  std::stable_sort(order.begin(), order.end(), [](const Child* a, const Child* b) {
    if (a->node->priority != b->node->priority) return a->node->priority > b->node->priority;
    if (a->spacer != b->spacer) return b->spacer;
    return a->flexibility < b->flexibility;
  });

  double remaining = available;
  std::size_t i = 0;
  while (i < order.size()) {
    const double priority = order[i]->node->priority;
    std::size_t end = i;
    while (end < order.size() && order[end]->node->priority == priority) ++end;
    // Lower priorities keep their minimums while this group is served.
    double reserved = 0;
    for (std::size_t j = end; j < order.size(); ++j) reserved += order[j]->minLength;
    double groupSpace = remaining - reserved;
    for (std::size_t j = i; j < end; ++j) {
      Child& c = *order[j];
      // The group's spacers come last and do not take a slice: the children before them see
      // everything but the spacers' minimums, and the spacers share what is left.
      double spacersAfter = 0;
      std::size_t sharers = 0;
      for (std::size_t k = j; k < end; ++k) {
        if (order[k]->spacer == c.spacer) {
          ++sharers;
        } else {
          spacersAfter += order[k]->minLength;
        }
      }
      // Offered everything (a measurement of the most the stack could take), every child is
      // offered everything too; arithmetic on the infinite remainder would only lose that.
      const double share =
          std::isinf(available)
              ? available
              : std::max(0.0, (groupSpace - spacersAfter) / static_cast<double>(sharers));
      c.box = ctx.layout(c.node, env, Proposal::make(axis, share, across));
      const double taken = along(c.box->size, axis);
      groupSpace -= taken;
      remaining -= taken;
    }
    i = end;
  }
}

double crossOffset(const nodes::Stack& stack, double crossLength, double childLength) {
  if (stack.axis == Axis::horizontal) {
    return alignOffset(stack.rowAlignment, crossLength, childLength);
  }
  return alignOffset(stack.columnAlignment, crossLength, childLength);
}

}  // namespace

BoxPtr layoutStack(LayoutContext& ctx, const nodes::Stack& stack, int env, Proposal offer) {
  const Axis axis = stack.axis;
  const int childEnv = ctx.withStackAxis(env, axis);
  const std::optional<double> primary = offer.along(axis);
  const std::optional<double> across = offer.along(crossAxis(axis));

  std::vector<Child> children;
  for (std::size_t i = 0; i < stack.children.size(); ++i) {
    const NodePtr& n = stack.children[i];
    if (isVoid(*n)) continue;
    children.push_back({n, i, isSpacer(*n), 0, 0, nullptr});
  }

  // Step 1.
  const double spacing =
      children.empty() ? 0 : stack.spacing * static_cast<double>(children.size() - 1);

  if (!primary) {
    // An ideal-size request: every child at its own ideal length.
    for (auto& c : children) c.box = ctx.layout(c.node, childEnv, Proposal::make(axis, {}, across));
  } else {
    measureFlexibility(ctx, children, axis, childEnv, across);
    distribute(ctx, children, axis, childEnv, *primary - spacing, across);
  }

  auto box = std::make_shared<Box>();
  box->kind = axis == Axis::horizontal ? "row" : "column";

  // Cross axis: line the children up. Rows aligned on the first text baseline put every
  // child's baseline (its bottom when it has no text) on one line.
  const bool byBaseline =
      axis == Axis::horizontal && stack.rowAlignment == VAlign::firstTextBaseline;
  double crossLength = 0;
  double above = 0;
  double below = 0;
  for (const auto& c : children) {
    const double length = along(c.box->size, crossAxis(axis));
    crossLength = std::max(crossLength, length);
    const double base = c.box->baseline.value_or(c.box->size.height);
    above = std::max(above, base);
    below = std::max(below, c.box->size.height - base);
  }
  if (byBaseline) crossLength = above + below;

  double position = 0;
  for (std::size_t i = 0; i < children.size(); ++i) {
    const auto& c = children[i];
    if (i > 0) position += stack.spacing;
    double cross = 0;
    if (byBaseline) {
      cross = above - c.box->baseline.value_or(c.box->size.height);
    } else {
      cross = crossOffset(stack, crossLength, along(c.box->size, crossAxis(axis)));
    }
    const Point origin = axis == Axis::horizontal ? Point{position, cross} : Point{cross, position};
    if (!box->baseline && c.box->baseline) box->baseline = origin.y + *c.box->baseline;
    box->children.push_back({origin, c.box});
    position += along(c.box->size, axis);
  }
  box->size = axis == Axis::horizontal ? Size{position, crossLength} : Size{crossLength, position};
  return box;
}

}  // namespace vx::ui
