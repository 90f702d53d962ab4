#include "ui/symbol_drawing.hpp"

#include <algorithm>

namespace vx::ui {

namespace {

constexpr double kPi = 3.14159265358979323846;

// The check's stroke as a fraction of the circle's diameter, by weight.
double checkStroke(Weight w) {
  switch (w) {
    case Weight::regular:
      return 0.075;
    case Weight::medium:
      return 0.085;
    case Weight::semibold:
      return 0.095;
    case Weight::bold:
      return 0.11;
  }
  return 0.085;
}

// A filled disc with a check mark cut out of it (the background shows through the check).
void drawCheckmarkCircleFill(cairo_t* cr, const Rect& b, Weight weight) {
  const double d = std::min(b.width, b.height);
  if (d <= 0) return;
  const double x = b.x + (b.width - d) / 2;
  const double y = b.y + (b.height - d) / 2;
  cairo_push_group(cr);
  cairo_arc(cr, x + d / 2, y + d / 2, d / 2, 0, 2 * kPi);
  cairo_fill(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
  cairo_set_line_width(cr, checkStroke(weight) * d);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_move_to(cr, x + 0.29 * d, y + 0.52 * d);
  cairo_line_to(cr, x + 0.44 * d, y + 0.67 * d);
  cairo_line_to(cr, x + 0.71 * d, y + 0.36 * d);
  cairo_stroke(cr);
  cairo_pop_group_to_source(cr);
  cairo_paint(cr);
}

}  // namespace

std::string_view rawValue(Symbol s) {
  switch (s) {
    case Symbol::checkmarkCircleFill:
      return "checkmark.circle.fill";
  }
  return "";
}

std::optional<Symbol> symbolNamed(std::string_view name) {
  if (name == "checkmark.circle.fill") return Symbol::checkmarkCircleFill;
  return std::nullopt;
}

void drawSymbol(cairo_t* cr, Symbol symbol, const Rect& bounds, Weight weight) {
  cairo_save(cr);
  switch (symbol) {
    case Symbol::checkmarkCircleFill:
      drawCheckmarkCircleFill(cr, bounds, weight);
      break;
  }
  cairo_restore(cr);
}

}  // namespace vx::ui
