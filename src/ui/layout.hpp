#pragma once

#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "ui/box.hpp"
#include "ui/element.hpp"

namespace vx::ui {

// A render tree laid out on a canvas of a given size. Boxes hold positions relative to their
// parents; the queries here answer frames in canvas points.
class Layout {
 public:
  Layout(Size canvas, BoxPtr root, Point rootOrigin)
      : canvas_(canvas), root_(std::move(root)), origin_(rootOrigin) {}

  [[nodiscard]] Size canvasSize() const { return canvas_; }
  [[nodiscard]] const Box& root() const { return *root_; }
  [[nodiscard]] Point rootOrigin() const { return origin_; }

  // Calls `visit` for every box, parents before children, with its frame on the canvas and its
  // depth (0 for the root).
  void visit(const std::function<void(const Box&, const Rect&, int depth)>& visit) const;

  // The frame of the first element tagged `tag`, in reading order.
  [[nodiscard]] std::optional<Rect> frameOf(std::string_view tag) const;
  // The first box tagged `tag`, for inspecting what it holds.
  [[nodiscard]] const Box* find(std::string_view tag) const;

 private:
  Size canvas_;
  BoxPtr root_;
  Point origin_;
};

// Lays `root` out for a canvas of `canvas` points: the root is offered the whole canvas and,
// if it takes less, is centred on it.
[[nodiscard]] Layout layout(const Element& root, Size canvas);

}  // namespace vx::ui
