#pragma once

#include <limits>

namespace vx::ui {

// Every length in the drawing engine is in points; the painter turns points into pixels.

// An unbounded length: a frame's maximum that lets its content take whatever it is offered.
inline constexpr double infinity = std::numeric_limits<double>::infinity();

struct Point {
  double x = 0;
  double y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
  double width = 0;
  double height = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;

  [[nodiscard]] double maxX() const { return x + width; }
  [[nodiscard]] double maxY() const { return y + height; }
  [[nodiscard]] Size size() const { return {width, height}; }
  [[nodiscard]] bool contains(Point p) const {
    return p.x >= x && p.x < maxX() && p.y >= y && p.y < maxY();
  }
  [[nodiscard]] Rect offset(Point by) const { return {x + by.x, y + by.y, width, height}; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

// Space on each edge, named by reading direction (left-to-right only).
struct Insets {
  double top = 0;
  double leading = 0;
  double bottom = 0;
  double trailing = 0;

  [[nodiscard]] static Insets all(double v) { return {v, v, v, v}; }
  [[nodiscard]] double horizontal() const { return leading + trailing; }
  [[nodiscard]] double vertical() const { return top + bottom; }
  friend bool operator==(const Insets&, const Insets&) = default;
};

// Edges as flags, for padding a chosen set of edges by one amount.
enum class Edge : unsigned {
  top = 1,
  leading = 2,
  bottom = 4,
  trailing = 8,
  horizontal = leading | trailing,
  vertical = top | bottom,
  all = horizontal | vertical,
};

[[nodiscard]] constexpr Edge operator|(Edge a, Edge b) {
  return static_cast<Edge>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}
[[nodiscard]] constexpr bool has(Edge set, Edge e) {
  return (static_cast<unsigned>(set) & static_cast<unsigned>(e)) != 0;
}

[[nodiscard]] inline Insets insets(Edge edges, double v) {
  return {has(edges, Edge::top) ? v : 0, has(edges, Edge::leading) ? v : 0,
          has(edges, Edge::bottom) ? v : 0, has(edges, Edge::trailing) ? v : 0};
}

}  // namespace vx::ui
