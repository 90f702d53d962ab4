#include "ui/shape.hpp"

namespace vx::ui {

std::string_view Shape::kindName() const {
  if (std::holds_alternative<Path>(geometry)) return "path";
  if (const auto* r = std::get_if<RoundedRect>(&geometry)) {
    return r->radii.isZero() ? "rect" : "roundedRect";
  }
  return "ellipse";
}

}  // namespace vx::ui
