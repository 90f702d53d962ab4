#pragma once

#include <optional>

#include "ui/geometry.hpp"
#include "ui/node.hpp"

namespace vx::ui {

// What a parent offers a child on each axis. An absent length asks for the child's ideal size;
// 0 asks for its minimum, `infinity` for its maximum; any other value is the space on offer.
// The child answers with the size it chooses, which may be more or less than the offer.
struct Proposal {
  std::optional<double> width;
  std::optional<double> height;

  [[nodiscard]] static Proposal ideal() { return {}; }
  [[nodiscard]] static Proposal of(Size s) { return {s.width, s.height}; }

  [[nodiscard]] std::optional<double> along(Axis a) const {
    return a == Axis::horizontal ? width : height;
  }
  [[nodiscard]] static Proposal make(Axis primary, std::optional<double> along,
                                     std::optional<double> across) {
    return primary == Axis::horizontal ? Proposal{along, across} : Proposal{across, along};
  }
  friend bool operator==(const Proposal&, const Proposal&) = default;
};

[[nodiscard]] inline Axis crossAxis(Axis a) {
  return a == Axis::horizontal ? Axis::vertical : Axis::horizontal;
}
[[nodiscard]] inline double along(Size s, Axis a) {
  return a == Axis::horizontal ? s.width : s.height;
}

}  // namespace vx::ui
