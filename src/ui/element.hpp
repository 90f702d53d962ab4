#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "ui/node.hpp"

namespace vx::ui {

// One element of a render tree, with the modifiers that wrap it. Elements are cheap to copy
// (they share their immutable nodes); every modifier returns a new element and leaves the
// original as it was.
class Element {
 public:
  Element();  // the empty element: takes no space and is skipped by stacks
  explicit Element(NodePtr node) : node_(std::move(node)) {}

  // --- layout modifiers ---
  [[nodiscard]] Element padding(double all) const;
  [[nodiscard]] Element padding(Insets insets) const;
  [[nodiscard]] Element padding(Edge edges, double amount) const;
  [[nodiscard]] Element frame(Frame f) const;
  [[nodiscard]] Element frame(double width, double height, Alignment a = Alignment::center) const;
  [[nodiscard]] Element width(double w, Alignment a = Alignment::center) const;
  [[nodiscard]] Element height(double h, Alignment a = Alignment::center) const;
  // Takes all the space it is offered on both axes, the content placed by `a`.
  [[nodiscard]] Element fillContainer(Alignment a = Alignment::center) const;
  // Takes its ideal size on the chosen axes, whatever the parent offers (never compressed).
  [[nodiscard]] Element fixedSize(bool horizontal = true, bool vertical = true) const;
  [[nodiscard]] Element layoutPriority(double p) const;
  [[nodiscard]] Element background(const Element& layer, Alignment a = Alignment::center) const;
  [[nodiscard]] Element overlay(const Element& layer, Alignment a = Alignment::center) const;

  // --- paint modifiers (no effect on layout) ---
  [[nodiscard]] Element opacity(double o) const;
  [[nodiscard]] Element accentable(bool on = true) const;
  // Attaches the link when there is one; without one the element stays as it is (not tappable).
  [[nodiscard]] Element link(std::optional<std::string> url) const;
  // The one link of the whole widget: a tap anywhere on the canvas, margins included, opens it
  // unless a link drawn over it takes the tap. Where the element itself lies does not matter.
  [[nodiscard]] Element widgetLink(std::optional<std::string> url) const;
  [[nodiscard]] Element clip(double cornerRadius = 0) const;
  [[nodiscard]] Element clip(CornerRadii radii) const;
  // Marks the widget's own background: left out when the widget is drawn in accented mode.
  [[nodiscard]] Element containerBackground() const;
  // A name for the dump and for finding the element's frame in a layout.
  [[nodiscard]] Element tag(std::string name) const;
  // What a screen reader says for the element and everything inside it, in place of the texts
  // inside. An empty label leaves the element unread: a decoration.
  [[nodiscard]] Element label(std::string spoken) const;

  // --- text settings, inherited by every text (and symbol, unpainted shape) inside ---
  [[nodiscard]] Element style(const TextStyle& s) const;
  [[nodiscard]] Element font(double size, Weight weight = Weight::regular) const;
  [[nodiscard]] Element font(Font f) const;
  [[nodiscard]] Element color(Color c) const;
  [[nodiscard]] Element lineLimit(int lines) const;
  [[nodiscard]] Element minScale(double scale) const;
  [[nodiscard]] Element tabularDigits(bool on = true) const;
  [[nodiscard]] Element multilineAlignment(HAlign a) const;

  [[nodiscard]] const NodePtr& node() const { return node_; }
  [[nodiscard]] bool isEmpty() const;

 private:
  NodePtr node_;
};

using Elements = std::vector<Element>;

// A horizontal stack. Children are laid out left to right, `spacing` points apart, and lined up
// vertically by the alignment (default: centre).
class Row : public Element {
 public:
  explicit Row(NodePtr node) : Element(std::move(node)) {}
  [[nodiscard]] Row spacing(double s) const;
  [[nodiscard]] Row align(VAlign a) const;
};

// A vertical stack, top to bottom; children lined up horizontally by the alignment.
class Column : public Element {
 public:
  explicit Column(NodePtr node) : Element(std::move(node)) {}
  [[nodiscard]] Column spacing(double s) const;
  [[nodiscard]] Column align(HAlign a) const;
};

// A shape that fills its frame, before it is given a paint.
class ShapeView : public Element {
 public:
  explicit ShapeView(NodePtr node) : Element(std::move(node)) {}
  [[nodiscard]] Element fill(Color c) const;
  [[nodiscard]] Element stroke(Color c, StrokeStyle style) const;
};

class ImageView : public Element {
 public:
  explicit ImageView(NodePtr node) : Element(std::move(node)) {}
  // Stretches to the frame it is given instead of keeping its pixel size.
  [[nodiscard]] ImageView resizable() const;
  // Drawn in place of the image when the file does not load as a PNG.
  [[nodiscard]] ImageView fallback(const Element& alternative) const;
};

[[nodiscard]] Element empty();
[[nodiscard]] Element text(std::string content);
[[nodiscard]] Row row(Elements children);
[[nodiscard]] Column column(Elements children);
// A z-stack: every child gets the same offer; later children are drawn on top.
[[nodiscard]] Element overlay(Elements children, Alignment a = Alignment::center);
// Flexible empty space along the enclosing stack's axis, at least `minLength` long.
[[nodiscard]] Element spacer(double minLength = 0);
// Empty space of exactly `length` along the enclosing stack's axis (none across it): it never
// stretches.
[[nodiscard]] Element gap(double length);
[[nodiscard]] ShapeView rectangle();
[[nodiscard]] ShapeView roundedRectangle(double radius);
[[nodiscard]] ShapeView roundedRectangle(CornerRadii radii);
// A circle as large as fits the frame, centred in it.
[[nodiscard]] ShapeView circle();
[[nodiscard]] ShapeView capsule();
[[nodiscard]] Element canvas(DrawFunction draw);
[[nodiscard]] ImageView image(std::string pngPath);
// A vector symbol sized by the inherited font size and weight, in the inherited colour.
[[nodiscard]] Element symbol(Symbol s);

}  // namespace vx::ui
