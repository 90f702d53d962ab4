#include "desktop/free_spots.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vx::desktop {
namespace {

int points(double length) {
  return static_cast<int>(std::ceil(length));
}

bool overlaps(const Area& a, const Area& b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

Area grown(const Area& area, int by) {
  return {area.x - by, area.y - by, area.width + 2 * by, area.height + 2 * by};
}

bool clear(const Area& spot, const std::vector<Area>& taken, int spacing) {
  return std::none_of(taken.begin(), taken.end(),
                      [&](const Area& other) { return overlaps(spot, grown(other, spacing)); });
}

// The grid steps along one side of the monitor at which a widget `length` long starts, keeping
// `margin` from both ends: the last step is -1 when none fits.
struct Steps {
  int first = 0;
  int last = -1;
};

Steps steps(int side, int length, int margin) {
  const int room = side - length - margin;
  if (room < margin) return {};
  return {(margin + kGridPoints - 1) / kGridPoints, room / kGridPoints};
}

}  // namespace

Area areaOf(const Placement& placement) {
  const host::WidgetSize size = host::size(placement.family);
  return {placement.position.x, placement.position.y, points(size.width), points(size.height)};
}

std::optional<Position> freeSpot(const Area& monitor, host::WidgetSize size,
                                 const std::vector<Area>& taken) {
  const int width = points(size.width);
  const int height = points(size.height);
  const Steps across = steps(monitor.width, width, kSpacingPoints);
  const Steps down = steps(monitor.height, height, kSpacingPoints);
  for (int row = down.first; row <= down.last; ++row) {
    for (int column = across.first; column <= across.last; ++column) {
      const Area spot{monitor.x + column * kGridPoints, monitor.y + row * kGridPoints, width,
                      height};
      if (clear(spot, taken, kSpacingPoints)) return Position{spot.x, spot.y};
    }
  }
  return std::nullopt;
}

std::optional<Position> landingSpot(const Area& monitor, host::WidgetSize size, Position wanted,
                                    const std::vector<Area>& taken) {
  const int width = points(size.width);
  const int height = points(size.height);
  const Steps across = steps(monitor.width, width, 0);
  const Steps down = steps(monitor.height, height, 0);
  std::optional<Position> best;
  double nearest = std::numeric_limits<double>::infinity();
  for (int row = down.first; row <= down.last; ++row) {
    for (int column = across.first; column <= across.last; ++column) {
      const Area spot{monitor.x + column * kGridPoints, monitor.y + row * kGridPoints, width,
                      height};
      const double distance = std::hypot(spot.x - wanted.x, spot.y - wanted.y);
      if (distance < nearest && clear(spot, taken, 0)) {
        nearest = distance;
        best = Position{spot.x, spot.y};
      }
    }
  }
  return best;
}

}  // namespace vx::desktop
