#pragma once

#include <optional>
#include <string_view>
#include <variant>
#include <vector>

#include "ui/color.hpp"
#include "ui/geometry.hpp"
#include "ui/path.hpp"

namespace vx::ui {

enum class LineCap { butt, round, square };
enum class LineJoin { miter, round, bevel };

struct StrokeStyle {
  double width = 1;
  LineCap cap = LineCap::butt;
  LineJoin join = LineJoin::miter;
  double miterLimit = 10;
  std::vector<double> dash{};  // on, off, on, ... lengths; empty: a solid line
  double dashPhase = 0;
  friend bool operator==(const StrokeStyle&, const StrokeStyle&) = default;
};

// Corner radii of a rectangle, clockwise from the top-left corner. The corners are drawn as
// quarter circles; the smoother "continuous" corner curve is approximated by them.
struct CornerRadii {
  double topLeading = 0;
  double topTrailing = 0;
  double bottomTrailing = 0;
  double bottomLeading = 0;

  [[nodiscard]] static CornerRadii all(double r) { return {r, r, r, r}; }
  [[nodiscard]] bool isZero() const {
    return topLeading == 0 && topTrailing == 0 && bottomTrailing == 0 && bottomLeading == 0;
  }
  friend bool operator==(const CornerRadii&, const CornerRadii&) = default;
};

// A geometric outline placed in its drawing's coordinates.
struct Shape {
  struct RoundedRect {
    Rect rect;
    CornerRadii radii;
  };
  struct Ellipse {
    Rect bounds;
  };
  std::variant<Path, RoundedRect, Ellipse> geometry;

  [[nodiscard]] static Shape path(Path p) { return {std::move(p)}; }
  [[nodiscard]] static Shape rect(Rect r) { return {RoundedRect{r, {}}}; }
  [[nodiscard]] static Shape roundedRect(Rect r, CornerRadii radii) {
    return {RoundedRect{r, radii}};
  }
  // An ellipse inscribed in `bounds`; a circle when bounds is square.
  [[nodiscard]] static Shape ellipse(Rect bounds) { return {Ellipse{bounds}}; }
  [[nodiscard]] static Shape circle(Point center, double diameter) {
    return ellipse({center.x - diameter / 2, center.y - diameter / 2, diameter, diameter});
  }

  [[nodiscard]] std::string_view kindName() const;
};

// How a shape is painted: filled, or stroked along its outline.
struct ShapePaint {
  Color color;
  std::optional<StrokeStyle> stroke;  // absent: fill
};

// One shape of a drawing, with its paint and whether it belongs to the accent group.
struct ShapeItem {
  Shape shape;
  ShapePaint paint;
  bool accentable = false;

  [[nodiscard]] static ShapeItem fill(Shape s, Color c) { return {std::move(s), {c, {}}, false}; }
  [[nodiscard]] static ShapeItem stroke(Shape s, Color c, StrokeStyle style) {
    return {std::move(s), {c, std::move(style)}, false};
  }
  [[nodiscard]] ShapeItem accented(bool on = true) const {
    ShapeItem copy = *this;
    copy.accentable = on;
    return copy;
  }
};

}  // namespace vx::ui
