#include "ui/element.hpp"

#include <utility>

namespace vx::ui {

namespace {

NodePtr make(Node::Content content, double priority = 0) {
  return std::make_shared<const Node>(Node{std::move(content), priority});
}

// Wraps `child` in a modifier node that keeps the child's layout priority.
NodePtr wrap(const NodePtr& child, Node::Content content) {
  return make(std::move(content), child->priority);
}

template <typename T, typename F>
NodePtr edited(const NodePtr& node, F&& edit) {
  Node copy = *node;
  edit(std::get<T>(copy.content));
  return std::make_shared<const Node>(std::move(copy));
}

std::vector<NodePtr> nodesOf(const Elements& elements) {
  std::vector<NodePtr> out;
  out.reserve(elements.size());
  for (const auto& e : elements) out.push_back(e.node());
  return out;
}

Element decorated(const NodePtr& child, nodes::Decorated d) {
  d.child = child;
  return Element(wrap(child, std::move(d)));
}

}  // namespace

Element::Element() : node_(make(nodes::Empty{})) {}

bool Element::isEmpty() const {
  return std::holds_alternative<nodes::Empty>(node_->content);
}

Element Element::padding(double all) const {
  return padding(Insets::all(all));
}

Element Element::padding(Insets insets) const {
  return Element(wrap(node_, nodes::Padding{insets, node_}));
}

Element Element::padding(Edge edges, double amount) const {
  return padding(insets(edges, amount));
}

Element Element::frame(Frame f) const {
  return Element(wrap(node_, nodes::Framed{f, node_}));
}

Element Element::frame(double width, double height, Alignment a) const {
  Frame f;
  f.width = width;
  f.height = height;
  f.alignment = a;
  return frame(f);
}

Element Element::width(double w, Alignment a) const {
  Frame f;
  f.width = w;
  f.alignment = a;
  return frame(f);
}

Element Element::height(double h, Alignment a) const {
  Frame f;
  f.height = h;
  f.alignment = a;
  return frame(f);
}

Element Element::fillContainer(Alignment a) const {
  Frame f;
  f.maxWidth = infinity;
  f.maxHeight = infinity;
  f.alignment = a;
  return frame(f);
}

Element Element::fixedSize(bool horizontal, bool vertical) const {
  return Element(wrap(node_, nodes::FixedSize{horizontal, vertical, node_}));
}

Element Element::layoutPriority(double p) const {
  Node copy = *node_;
  copy.priority = p;
  return Element(std::make_shared<const Node>(std::move(copy)));
}

Element Element::background(const Element& layer, Alignment a) const {
  return Element(wrap(node_, nodes::Layer{node_, layer.node(), a, true}));
}

Element Element::overlay(const Element& layer, Alignment a) const {
  return Element(wrap(node_, nodes::Layer{node_, layer.node(), a, false}));
}

Element Element::opacity(double o) const {
  nodes::Decorated d;
  d.opacity = o;
  return decorated(node_, std::move(d));
}

Element Element::accentable(bool on) const {
  nodes::Decorated d;
  d.accentable = on;
  return decorated(node_, std::move(d));
}

Element Element::link(std::optional<std::string> url) const {
  if (!url) return *this;
  nodes::Decorated d;
  d.link = std::move(url);
  return decorated(node_, std::move(d));
}

Element Element::widgetLink(std::optional<std::string> url) const {
  if (!url) return *this;
  nodes::Decorated d;
  d.link = std::move(url);
  d.linksWholeWidget = true;
  return decorated(node_, std::move(d));
}

Element Element::clip(double cornerRadius) const {
  return clip(CornerRadii::all(cornerRadius));
}

Element Element::clip(CornerRadii radii) const {
  nodes::Decorated d;
  d.clip = radii;
  return decorated(node_, std::move(d));
}

Element Element::containerBackground() const {
  nodes::Decorated d;
  d.containerBackground = true;
  return decorated(node_, std::move(d));
}

Element Element::tag(std::string name) const {
  nodes::Decorated d;
  d.tag = std::move(name);
  return decorated(node_, std::move(d));
}

Element Element::label(std::string spoken) const {
  nodes::Decorated d;
  d.label = std::move(spoken);
  return decorated(node_, std::move(d));
}

Element Element::style(const TextStyle& s) const {
  // Consecutive settings collapse into one node. The earlier call sits closer to the content,
  // so where both set the same field the earlier one wins, as nesting would have it.
  if (const auto* styled = std::get_if<nodes::Styled>(&node_->content)) {
    return Element(wrap(node_, nodes::Styled{s.overriddenBy(styled->style), styled->child}));
  }
  return Element(wrap(node_, nodes::Styled{s, node_}));
}

Element Element::font(double size, Weight weight) const {
  TextStyle s;
  s.size = size;
  s.weight = weight;
  return style(s);
}

Element Element::font(Font f) const {
  return font(f.size, f.weight);
}

Element Element::color(Color c) const {
  TextStyle s;
  s.color = c;
  return style(s);
}

Element Element::lineLimit(int lines) const {
  TextStyle s;
  s.lineLimit = lines;
  return style(s);
}

Element Element::minScale(double scale) const {
  TextStyle s;
  s.minScale = scale;
  return style(s);
}

Element Element::tabularDigits(bool on) const {
  TextStyle s;
  s.tabularDigits = on;
  return style(s);
}

Element Element::multilineAlignment(HAlign a) const {
  TextStyle s;
  s.multilineAlignment = a;
  return style(s);
}

Row Row::spacing(double s) const {
  return Row(edited<nodes::Stack>(node(), [&](nodes::Stack& st) { st.spacing = s; }));
}

Row Row::align(VAlign a) const {
  return Row(edited<nodes::Stack>(node(), [&](nodes::Stack& st) { st.rowAlignment = a; }));
}

Column Column::spacing(double s) const {
  return Column(edited<nodes::Stack>(node(), [&](nodes::Stack& st) { st.spacing = s; }));
}

Column Column::align(HAlign a) const {
  return Column(edited<nodes::Stack>(node(), [&](nodes::Stack& st) { st.columnAlignment = a; }));
}

Element ShapeView::fill(Color c) const {
  return Element(edited<nodes::FilledShape>(node(), [&](nodes::FilledShape& s) {
    s.paint = ShapePaint{c, std::nullopt};
  }));
}

Element ShapeView::stroke(Color c, StrokeStyle style) const {
  return Element(edited<nodes::FilledShape>(node(), [&](nodes::FilledShape& s) {
    s.paint = ShapePaint{c, std::move(style)};
  }));
}

ImageView ImageView::resizable() const {
  return ImageView(edited<nodes::Image>(node(), [](nodes::Image& i) { i.resizable = true; }));
}

ImageView ImageView::fallback(const Element& alternative) const {
  return ImageView(
      edited<nodes::Image>(node(), [&](nodes::Image& i) { i.fallback = alternative.node(); }));
}

Element empty() {
  return Element();
}

Element text(std::string content) {
  return Element(make(nodes::Text{std::move(content)}));
}

Row row(Elements children) {
  nodes::Stack s;
  s.axis = Axis::horizontal;
  s.children = nodesOf(children);
  return Row(make(std::move(s)));
}

Column column(Elements children) {
  nodes::Stack s;
  s.axis = Axis::vertical;
  s.children = nodesOf(children);
  return Column(make(std::move(s)));
}

Element overlay(Elements children, Alignment a) {
  return Element(make(nodes::Overlay{a, nodesOf(children)}));
}

Element spacer(double minLength) {
  return Element(make(nodes::Spacer{minLength, false}));
}

Element gap(double length) {
  return Element(make(nodes::Spacer{length, true}));
}

ShapeView rectangle() {
  return ShapeView(make(nodes::FilledShape{}));
}

ShapeView roundedRectangle(double radius) {
  return roundedRectangle(CornerRadii::all(radius));
}

ShapeView roundedRectangle(CornerRadii radii) {
  nodes::FilledShape s;
  s.radii = radii;
  return ShapeView(make(std::move(s)));
}

ShapeView circle() {
  nodes::FilledShape s;
  s.kind = nodes::FilledShape::Kind::circle;
  return ShapeView(make(std::move(s)));
}

ShapeView capsule() {
  nodes::FilledShape s;
  s.kind = nodes::FilledShape::Kind::capsule;
  return ShapeView(make(std::move(s)));
}

Element canvas(DrawFunction draw) {
  return Element(make(nodes::Canvas{std::move(draw)}));
}

ImageView image(std::string pngPath) {
  nodes::Image i;
  i.path = std::move(pngPath);
  return ImageView(make(std::move(i)));
}

Element symbol(Symbol s) {
  return Element(make(nodes::SymbolImage{s}));
}

}  // namespace vx::ui
