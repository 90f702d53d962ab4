// Layout of the elements without children: texts, spacers, shapes, drawings, images, symbols.
#include <algorithm>
#include <cmath>

#include "ui/layout_rules.hpp"
#include "ui/text_fit.hpp"

namespace vx::ui {

namespace {

// A shape or drawing asked for its ideal size has none of its own; like the platform's shapes
// it answers a small square.
constexpr double kShapeIdealLength = 10;
// A symbol's square is about its font's size; its baseline sits a little above its bottom so
// that it lines up with text of that font.
constexpr double kSymbolSizeFactor = 1.0;
constexpr double kSymbolBaselineFactor = 0.84;

double fillLength(std::optional<double> offer, double ideal) {
  return offer.value_or(ideal);
}

bool finite(Size s) {
  return std::isfinite(s.width) && std::isfinite(s.height);
}

Shape shapeInFrame(const nodes::FilledShape& shape, Size size) {
  const Rect frame{0, 0, size.width, size.height};
  const double shortest = std::min(size.width, size.height);
  switch (shape.kind) {
    case nodes::FilledShape::Kind::rectangle:
      return Shape::roundedRect(frame, shape.radii);
    case nodes::FilledShape::Kind::circle:
      return Shape::circle({size.width / 2, size.height / 2}, shortest);
    case nodes::FilledShape::Kind::capsule:
      return Shape::roundedRect(frame, CornerRadii::all(shortest / 2));
  }
  return Shape::rect(frame);
}

}  // namespace

BoxPtr layoutText(LayoutContext& ctx, const nodes::Text& text, int env, Proposal offer) {
  const ResolvedTextStyle style = resolve(ctx.environment(env).style);
  FittedText fitted = fitText(ctx.measurer(), text.text, style, offer);
  auto box = std::make_shared<Box>();
  box->kind = "text";
  box->size = fitted.size;
  box->baseline = fitted.baseline;
  box->content = std::move(fitted.run);
  return box;
}

BoxPtr layoutSpacer(LayoutContext& ctx, const nodes::Spacer& spacer, int env, Proposal offer) {
  const double least = std::max(0.0, spacer.minLength);
  auto stretch = [&](std::optional<double> o) {
    return o && !spacer.fixed ? std::max(least, *o) : least;
  };
  auto box = std::make_shared<Box>();
  box->kind = spacer.fixed ? "gap" : "spacer";
  const auto axis = ctx.environment(env).stackAxis;
  if (!axis) {
    box->size = {stretch(offer.width), stretch(offer.height)};
  } else if (*axis == Axis::horizontal) {
    box->size = {stretch(offer.width), 0};
  } else {
    box->size = {0, stretch(offer.height)};
  }
  return box;
}

BoxPtr layoutShape(LayoutContext& ctx, const nodes::FilledShape& shape, int env, Proposal offer) {
  auto box = std::make_shared<Box>();
  box->kind = "shape";
  box->size = {fillLength(offer.width, kShapeIdealLength),
               fillLength(offer.height, kShapeIdealLength)};
  if (finite(box->size)) {
    const ShapePaint paint =
        shape.paint.value_or(ShapePaint{resolve(ctx.environment(env).style).color, {}});
    box->content = contents::Drawing{{ShapeItem{shapeInFrame(shape, box->size), paint, false}}};
  }
  return box;
}

BoxPtr layoutCanvas(LayoutContext&, const nodes::Canvas& canvas, int, Proposal offer) {
  auto box = std::make_shared<Box>();
  box->kind = "canvas";
  box->size = {fillLength(offer.width, kShapeIdealLength),
               fillLength(offer.height, kShapeIdealLength)};
  if (canvas.draw) box->content = contents::CanvasDrawing{canvas.draw};
  return box;
}

BoxPtr layoutImage(LayoutContext& ctx, const nodes::Image& image, int env, Proposal offer) {
  auto box = std::make_shared<Box>();
  box->kind = "image";
  auto bitmap = ctx.image(image.path);
  if (!bitmap) {
    box->fallback = true;
    if (image.fallback) {
      BoxPtr alternative = ctx.layout(image.fallback, env, offer);
      box->size = alternative->size;
      box->baseline = alternative->baseline;
      box->children.push_back({{0, 0}, alternative});
    }
    return box;
  }
  const Size pixels{static_cast<double>(bitmap->width()), static_cast<double>(bitmap->height())};
  box->size = image.resizable ? Size{fillLength(offer.width, pixels.width),
                                     fillLength(offer.height, pixels.height)}
                              : pixels;
  box->content = contents::Picture{std::move(bitmap)};
  return box;
}

BoxPtr layoutSymbol(LayoutContext& ctx, const nodes::SymbolImage& symbol, int env, Proposal) {
  const ResolvedTextStyle style = resolve(ctx.environment(env).style);
  const double side = style.size * kSymbolSizeFactor;
  auto box = std::make_shared<Box>();
  box->kind = "symbol";
  box->size = {side, side};
  box->baseline = side * kSymbolBaselineFactor;
  box->content = contents::SymbolDrawing{symbol.symbol, style.weight, style.color};
  return box;
}

}  // namespace vx::ui
