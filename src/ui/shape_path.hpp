#pragma once

#include <cairo.h>

#include "ui/shape.hpp"

namespace vx::ui {

// Replaces cairo's current path with `shape`'s outline.
void appendShapePath(cairo_t* cr, const Shape& shape);

// Replaces cairo's current path with a rectangle whose corners are rounded by `radii` (each
// radius limited to half the shorter side).
void appendRoundedRect(cairo_t* cr, const Rect& rect, const CornerRadii& radii);

// Sets cairo's line width, caps, joins, miter limit and dashes from `style`.
void applyStroke(cairo_t* cr, const StrokeStyle& style);

}  // namespace vx::ui
