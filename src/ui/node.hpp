#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "ui/alignment.hpp"
#include "ui/geometry.hpp"
#include "ui/shape.hpp"
#include "ui/text_style.hpp"

namespace vx::ui {

// The render tree as built: immutable nodes shared between copies of an Element. Builders in
// element.hpp make them; the layout reads them. Most code should use Element, not these.

struct Node;
using NodePtr = std::shared_ptr<const Node>;

enum class Axis { horizontal, vertical };

// Symbols drawn from vectors of our own.
enum class Symbol { checkmarkCircleFill };

// The symbol's system name ("checkmark.circle.fill"), and the symbol of a name when we draw it.
[[nodiscard]] std::string_view rawValue(Symbol s);
[[nodiscard]] std::optional<Symbol> symbolNamed(std::string_view name);

// A frame around an element. A fixed width or height is exactly that; otherwise the minimum and
// maximum bound the element on that axis (a maximum of `infinity` takes all that is offered).
// A fixed length wins over minimum and maximum on the same axis. Fields are grouped by axis so
// that designated initializers read naturally: frame({.maxWidth = infinity, .height = 20}).
struct Frame {
  std::optional<double> width{};
  std::optional<double> minWidth{};
  std::optional<double> maxWidth{};
  std::optional<double> height{};
  std::optional<double> minHeight{};
  std::optional<double> maxHeight{};
  Alignment alignment = Alignment::center;
};

// A drawing that fills whatever frame it is given: called with that frame's size, it answers the
// shapes in frame coordinates.
using DrawFunction = std::function<std::vector<ShapeItem>(Size)>;

namespace nodes {

struct Empty {};

struct Text {
  std::string text;
};

// Row (horizontal) or column (vertical); rows use rowAlignment, columns columnAlignment.
struct Stack {
  Axis axis = Axis::horizontal;
  double spacing = 0;
  VAlign rowAlignment = VAlign::center;
  HAlign columnAlignment = HAlign::center;
  std::vector<NodePtr> children;
};

// Children on top of each other, later ones on top.
struct Overlay {
  Alignment alignment = Alignment::center;
  std::vector<NodePtr> children;
};

// Empty space along the enclosing stack's axis: flexible from `minLength` up, or exactly
// `minLength` long when `fixed` (a gap).
struct Spacer {
  double minLength = 0;
  bool fixed = false;
};

// A shape that fills its frame. Without a paint it is filled in the inherited text colour.
struct FilledShape {
  enum class Kind { rectangle, circle, capsule };
  Kind kind = Kind::rectangle;
  CornerRadii radii;  // rectangle only
  std::optional<ShapePaint> paint;
};

struct Canvas {
  DrawFunction draw;
};

struct Image {
  std::string path;
  bool resizable = false;
  NodePtr fallback;  // may be null: nothing is drawn when the file does not load
};

struct SymbolImage {
  Symbol symbol = Symbol::checkmarkCircleFill;
};

struct Padding {
  Insets insets;
  NodePtr child;
};

struct Framed {
  Frame frame;
  NodePtr child;
};

struct FixedSize {
  bool horizontal = true;
  bool vertical = true;
  NodePtr child;
};

// A background (behind) or overlay (on top) sized to the child.
struct Layer {
  NodePtr child;
  NodePtr layer;
  Alignment alignment = Alignment::center;
  bool behind = true;
};

struct Styled {
  TextStyle style;
  NodePtr child;
};

// Paint-time properties that do not change the layout.
struct Decorated {
  double opacity = 1;
  bool accentable = false;
  std::optional<std::string> link;
  bool linksWholeWidget = false;  // the link's tap target is the whole canvas
  std::optional<CornerRadii> clip;
  bool containerBackground = false;
  std::optional<std::string> tag;
  std::optional<std::string> label;
  NodePtr child;
};

}  // namespace nodes

struct Node {
  using Content = std::variant<nodes::Empty, nodes::Text, nodes::Stack, nodes::Overlay,
                               nodes::Spacer, nodes::FilledShape, nodes::Canvas, nodes::Image,
                               nodes::SymbolImage, nodes::Padding, nodes::Framed, nodes::FixedSize,
                               nodes::Layer, nodes::Styled, nodes::Decorated>;
  Content content;
  // Stacks hand out space to higher priorities first. Modifiers carry their child's priority so
  // that a padded or framed element keeps it.
  double priority = 0;
};

}  // namespace vx::ui
