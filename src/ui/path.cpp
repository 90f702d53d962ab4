#include "ui/path.hpp"

namespace vx::ui {

Path& Path::moveTo(Point p) {
  segments_.push_back({Verb::move, p, {}, {}});
  return *this;
}

Path& Path::lineTo(Point p) {
  segments_.push_back({Verb::line, p, {}, {}});
  return *this;
}

Path& Path::curveTo(Point control1, Point control2, Point to) {
  segments_.push_back({Verb::curve, to, control1, control2});
  return *this;
}

Path& Path::close() {
  segments_.push_back({Verb::close, {}, {}, {}});
  return *this;
}

Path Path::polyline(const std::vector<Point>& points) {
  Path p;
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (i == 0) {
      p.moveTo(points[i]);
    } else {
      p.lineTo(points[i]);
    }
  }
  return p;
}

}  // namespace vx::ui
