#pragma once

#include <vector>

#include "ui/geometry.hpp"

namespace vx::ui {

// An outline made of straight and cubic segments, in the coordinates of the element that draws
// it (origin top-left, y down). Built by chaining: Path().moveTo(p).lineTo(q).close().
class Path {
 public:
  enum class Verb { move, line, curve, close };
  struct Segment {
    Verb verb;
    Point to;        // end point (unused by close)
    Point control1;  // curve only
    Point control2;  // curve only
  };

  Path& moveTo(Point p);
  Path& lineTo(Point p);
  Path& curveTo(Point control1, Point control2, Point to);
  Path& close();

  // A polyline through the points (first one moved to); empty input gives an empty path.
  [[nodiscard]] static Path polyline(const std::vector<Point>& points);

  [[nodiscard]] const std::vector<Segment>& segments() const { return segments_; }
  [[nodiscard]] bool empty() const { return segments_.empty(); }

 private:
  std::vector<Segment> segments_;
};

}  // namespace vx::ui
