#pragma once

#include <cairo.h>

#include "ui/geometry.hpp"
#include "ui/node.hpp"
#include "ui/text_style.hpp"

namespace vx::ui {

// Draws `symbol` into `bounds` with cairo's current source; heavier weights draw thicker
// strokes.
void drawSymbol(cairo_t* cr, Symbol symbol, const Rect& bounds, Weight weight);

}  // namespace vx::ui
