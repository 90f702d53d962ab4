#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "ui/geometry.hpp"
#include "ui/node.hpp"
#include "ui/shape.hpp"
#include "ui/text_style.hpp"

namespace vx::ui {

class Bitmap;  // a decoded PNG (bitmap.hpp)

struct Box;
using BoxPtr = std::shared_ptr<const Box>;

// A child of a laid-out box, at an offset from its parent's top-left corner.
struct PlacedBox {
  Point origin;
  BoxPtr box;
};

// One line of a laid-out text: what is drawn, where (relative to the text's box).
struct TextLine {
  std::string text;
  double x = 0;
  double baseline = 0;
  double width = 0;
};

namespace contents {

struct None {};

struct TextRun {
  std::string source;  // the text as given
  std::vector<TextLine> lines;
  double fontSize = 0;  // after scaling
  double scale = 1;     // fontSize / the size asked for
  Weight weight = Weight::regular;
  bool tabularDigits = false;
  Color color;
  bool truncated = false;
};

struct Drawing {
  std::vector<ShapeItem> items;  // in box coordinates
};

struct CanvasDrawing {
  DrawFunction draw;  // called with the box's size when painted
};

struct Picture {
  std::shared_ptr<const Bitmap> bitmap;  // stretched to the box
};

struct SymbolDrawing {
  Symbol symbol = Symbol::checkmarkCircleFill;
  Weight weight = Weight::regular;
  Color color;
};

}  // namespace contents

// A laid-out element: its size, what it draws, and its children in painting order. Boxes are
// immutable and positioned relative to their parent, so one box may be shared by several
// measurements of the same element.
struct Box {
  std::string_view kind;  // "row", "text", "padding", ... (static strings)
  Size size;
  std::optional<double> baseline;  // first text baseline from the top, when there is text
  std::variant<contents::None, contents::TextRun, contents::Drawing, contents::CanvasDrawing,
               contents::Picture, contents::SymbolDrawing>
      content;
  std::vector<PlacedBox> children;

  // Paint-time properties (see Element's paint modifiers).
  double opacity = 1;
  bool accentable = false;
  std::optional<std::string> link;
  bool linksWholeWidget = false;
  std::optional<CornerRadii> clip;
  bool containerBackground = false;
  std::optional<std::string> tag;
  std::optional<std::string> label;  // what a screen reader says for the box and all inside it
  bool fallback = false;  // an image whose file did not load: its child is the alternative
};

}  // namespace vx::ui
