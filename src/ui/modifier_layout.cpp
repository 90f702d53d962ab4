// Layout of the modifiers that wrap one child: padding, frames, fixed size, backgrounds and
// overlays, and the paint-only decorations.
#include <algorithm>
#include <cmath>

#include "ui/layout_rules.hpp"

namespace vx::ui {

namespace {

std::optional<double> inset(std::optional<double> offer, double amount) {
  if (!offer || std::isinf(*offer)) return offer;
  return std::max(0.0, *offer - amount);
}

std::optional<double> shifted(std::optional<double> baseline, double by) {
  if (!baseline) return std::nullopt;
  return *baseline + by;
}

// What a frame offers its child on one axis: a fixed length, or the offer clamped to the bounds.
std::optional<double> frameOffer(std::optional<double> fixed, std::optional<double> least,
                                 std::optional<double> most, std::optional<double> offer) {
  if (fixed) return std::max(0.0, *fixed);
  if (!offer) return offer;
  double v = *offer;
  if (least) v = std::max(*least, v);
  if (most) v = std::min(*most, v);
  return v;
}

// The frame's own length on one axis. With bounds it follows the platform's flexible frame:
// from the child's length it grows towards the offer up to the maximum and never drops below
// the minimum.
double frameLength(std::optional<double> fixed, std::optional<double> least,
                   std::optional<double> most, std::optional<double> offer, double child) {
  if (fixed) return std::max(0.0, *fixed);
  if (!least && !most) return child;
  double v = child;
  if (offer) {
    if (least) v = std::max(*least, std::min(v, *offer));
    if (most) v = std::min(*most, std::max(v, *offer));
  } else {
    if (least) v = std::max(*least, v);
    if (most) v = std::min(*most, v);
  }
  // Offered everything with an unbounded maximum, the frame answers an unbounded length: that
  // is how a stack measuring it learns that it is infinitely flexible.
  return v;
}

}  // namespace

BoxPtr layoutPadding(LayoutContext& ctx, const nodes::Padding& padding, int env, Proposal offer) {
  const Insets& in = padding.insets;
  BoxPtr child =
      ctx.layout(padding.child, env,
                 {inset(offer.width, in.horizontal()), inset(offer.height, in.vertical())});
  auto box = std::make_shared<Box>();
  box->kind = "padding";
  box->size = {child->size.width + in.horizontal(), child->size.height + in.vertical()};
  box->baseline = shifted(child->baseline, in.top);
  box->children.push_back({{in.leading, in.top}, child});
  return box;
}

BoxPtr layoutFrame(LayoutContext& ctx, const nodes::Framed& framed, int env, Proposal offer) {
  Frame f = framed.frame;
  // A minimum above the maximum is a caller's mistake; the minimum wins.
  if (f.minWidth && f.maxWidth && *f.minWidth > *f.maxWidth) f.maxWidth = f.minWidth;
  if (f.minHeight && f.maxHeight && *f.minHeight > *f.maxHeight) f.maxHeight = f.minHeight;

  const Proposal inner{frameOffer(f.width, f.minWidth, f.maxWidth, offer.width),
                       frameOffer(f.height, f.minHeight, f.maxHeight, offer.height)};
  BoxPtr child = ctx.layout(framed.child, env, inner);
  auto box = std::make_shared<Box>();
  box->kind = "frame";
  box->size = {frameLength(f.width, f.minWidth, f.maxWidth, offer.width, child->size.width),
               frameLength(f.height, f.minHeight, f.maxHeight, offer.height, child->size.height)};
  const Point origin{alignOffset(f.alignment.horizontal, box->size.width, child->size.width),
                     alignOffset(f.alignment.vertical, box->size.height, child->size.height)};
  box->baseline = shifted(child->baseline, origin.y);
  box->children.push_back({origin, child});
  return box;
}

BoxPtr layoutFixedSize(LayoutContext& ctx, const nodes::FixedSize& fixed, int env, Proposal offer) {
  const Proposal inner{fixed.horizontal ? std::nullopt : offer.width,
                       fixed.vertical ? std::nullopt : offer.height};
  BoxPtr child = ctx.layout(fixed.child, env, inner);
  auto box = std::make_shared<Box>();
  box->kind = "fixedSize";
  box->size = child->size;
  box->baseline = child->baseline;
  box->children.push_back({{0, 0}, child});
  return box;
}

BoxPtr layoutLayer(LayoutContext& ctx, const nodes::Layer& layer, int env, Proposal offer) {
  BoxPtr child = ctx.layout(layer.child, env, offer);
  BoxPtr extra = ctx.layout(layer.layer, env, Proposal::of(child->size));
  const Point at{alignOffset(layer.alignment.horizontal, child->size.width, extra->size.width),
                 alignOffset(layer.alignment.vertical, child->size.height, extra->size.height)};
  auto box = std::make_shared<Box>();
  box->kind = layer.behind ? "background" : "overlayLayer";
  box->size = child->size;
  box->baseline = child->baseline;
  if (layer.behind) {
    box->children.push_back({at, extra});
    box->children.push_back({{0, 0}, child});
  } else {
    box->children.push_back({{0, 0}, child});
    box->children.push_back({at, extra});
  }
  return box;
}

BoxPtr layoutOverlay(LayoutContext& ctx, const nodes::Overlay& overlay, int env, Proposal offer) {
  std::vector<BoxPtr> laid;
  Size size;
  for (const auto& n : overlay.children) {
    laid.push_back(ctx.layout(n, env, offer));
    size.width = std::max(size.width, laid.back()->size.width);
    size.height = std::max(size.height, laid.back()->size.height);
  }
  auto box = std::make_shared<Box>();
  box->kind = "overlay";
  box->size = size;
  for (const auto& child : laid) {
    const Point at{alignOffset(overlay.alignment.horizontal, size.width, child->size.width),
                   alignOffset(overlay.alignment.vertical, size.height, child->size.height)};
    if (!box->baseline && child->baseline) box->baseline = at.y + *child->baseline;
    box->children.push_back({at, child});
  }
  return box;
}

BoxPtr layoutDecorated(LayoutContext& ctx, const nodes::Decorated& d, int env, Proposal offer) {
  BoxPtr child = ctx.layout(d.child, env, offer);
  auto box = std::make_shared<Box>();
  box->kind = d.link                  ? "link"
              : d.clip                ? "clip"
              : d.containerBackground ? "containerBackground"
              : d.tag                 ? "tag"
              : d.accentable          ? "accentable"
              : d.label               ? "label"
                                      : "opacity";
  box->size = child->size;
  box->baseline = child->baseline;
  box->opacity = std::clamp(d.opacity, 0.0, 1.0);
  box->accentable = d.accentable;
  box->link = d.link;
  box->linksWholeWidget = d.linksWholeWidget;
  box->clip = d.clip;
  box->containerBackground = d.containerBackground;
  box->tag = d.tag;
  box->label = d.label;
  box->children.push_back({{0, 0}, child});
  return box;
}

}  // namespace vx::ui
