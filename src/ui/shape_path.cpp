#include "ui/shape_path.hpp"

#include <algorithm>
#include <cmath>

namespace vx::ui {

namespace {

constexpr double kPi = 3.14159265358979323846;

void appendPath(cairo_t* cr, const Path& path) {
  for (const auto& s : path.segments()) {
    switch (s.verb) {
      case Path::Verb::move:
        cairo_move_to(cr, s.to.x, s.to.y);
        break;
      case Path::Verb::line:
        cairo_line_to(cr, s.to.x, s.to.y);
        break;
      case Path::Verb::curve:
        cairo_curve_to(cr, s.control1.x, s.control1.y, s.control2.x, s.control2.y, s.to.x, s.to.y);
        break;
      case Path::Verb::close:
        cairo_close_path(cr);
        break;
    }
  }
}

void appendEllipse(cairo_t* cr, const Rect& b) {
  if (b.width <= 0 || b.height <= 0) return;
  cairo_save(cr);
  cairo_translate(cr, b.x + b.width / 2, b.y + b.height / 2);
  cairo_scale(cr, b.width / 2, b.height / 2);
  cairo_new_sub_path(cr);
  cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
  cairo_close_path(cr);
  // The path keeps its shape; the restored matrix only affects how it is stroked.
  cairo_restore(cr);
}

}  // namespace

void appendRoundedRect(cairo_t* cr, const Rect& r, const CornerRadii& radii) {
  const double limit = std::max(0.0, std::min(r.width, r.height) / 2);
  auto clampR = [limit](double v) { return std::clamp(v, 0.0, limit); };
  const double tl = clampR(radii.topLeading);
  const double tr = clampR(radii.topTrailing);
  const double br = clampR(radii.bottomTrailing);
  const double bl = clampR(radii.bottomLeading);
  cairo_new_sub_path(cr);
  cairo_move_to(cr, r.x + tl, r.y);
  cairo_line_to(cr, r.maxX() - tr, r.y);
  if (tr > 0) cairo_arc(cr, r.maxX() - tr, r.y + tr, tr, -kPi / 2, 0);
  cairo_line_to(cr, r.maxX(), r.maxY() - br);
  if (br > 0) cairo_arc(cr, r.maxX() - br, r.maxY() - br, br, 0, kPi / 2);
  cairo_line_to(cr, r.x + bl, r.maxY());
  if (bl > 0) cairo_arc(cr, r.x + bl, r.maxY() - bl, bl, kPi / 2, kPi);
  cairo_line_to(cr, r.x, r.y + tl);
  if (tl > 0) cairo_arc(cr, r.x + tl, r.y + tl, tl, kPi, 3 * kPi / 2);
  cairo_close_path(cr);
}

void appendShapePath(cairo_t* cr, const Shape& shape) {
  cairo_new_path(cr);
  if (const auto* p = std::get_if<Path>(&shape.geometry)) {
    appendPath(cr, *p);
  } else if (const auto* r = std::get_if<Shape::RoundedRect>(&shape.geometry)) {
    if (r->rect.width > 0 && r->rect.height > 0) appendRoundedRect(cr, r->rect, r->radii);
  } else if (const auto* e = std::get_if<Shape::Ellipse>(&shape.geometry)) {
    appendEllipse(cr, e->bounds);
  }
}

void applyStroke(cairo_t* cr, const StrokeStyle& style) {
  cairo_set_line_width(cr, std::max(0.0, style.width));
  switch (style.cap) {
    case LineCap::butt:
      cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
      break;
    case LineCap::round:
      cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
      break;
    case LineCap::square:
      cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
      break;
  }
  switch (style.join) {
    case LineJoin::miter:
      cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
      break;
    case LineJoin::round:
      cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
      break;
    case LineJoin::bevel:
      cairo_set_line_join(cr, CAIRO_LINE_JOIN_BEVEL);
      break;
  }
  cairo_set_miter_limit(cr, style.miterLimit);
  // cairo puts a context in an error state for dash lists that are negative or all zero;
  // such a pattern draws a solid line instead.
  const bool usable =
      std::all_of(style.dash.begin(), style.dash.end(), [](double d) { return d >= 0; }) &&
      std::any_of(style.dash.begin(), style.dash.end(), [](double d) { return d > 0; });
  if (usable) {
    cairo_set_dash(cr, style.dash.data(), static_cast<int>(style.dash.size()), style.dashPhase);
  } else {
    cairo_set_dash(cr, nullptr, 0, 0);
  }
}

}  // namespace vx::ui
