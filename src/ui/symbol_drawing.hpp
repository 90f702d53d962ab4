#pragma once

#include <cairo.h>

#include <optional>
#include <string_view>

#include "ui/geometry.hpp"
#include "ui/node.hpp"
#include "ui/text_style.hpp"

namespace vx::ui {

[[nodiscard]] std::string_view rawValue(Symbol s);
// The symbol of that system name ("checkmark.circle.fill"), when we draw it.
[[nodiscard]] std::optional<Symbol> symbolNamed(std::string_view name);

// Draws `symbol` into `bounds` with cairo's current source; heavier weights draw thicker
// strokes.
void drawSymbol(cairo_t* cr, Symbol symbol, const Rect& bounds, Weight weight);

}  // namespace vx::ui
