#include "desktop/free_spots.hpp"

#include <gtest/gtest.h>

namespace vx::desktop {
namespace {

const Area kMonitor{1024, 0, 800, 600};  // a second monitor, right of a first one
const host::WidgetSize kSmall{170, 170};

TEST(FreeSpots, NewWidgetsGoInReadingOrderAwayFromEdgesAndOthers) {
  std::vector<Area> taken;
  std::vector<Position> spots;
  while (const auto spot = freeSpot(kMonitor, kSmall, taken)) {
    spots.push_back(*spot);
    taken.push_back({spot->x, spot->y, 170, 170});
  }
  // Four across (16 + 4 × 170 + 3 × 16 = 744 ≤ 800 − 16) and three down.
  ASSERT_EQ(spots.size(), 12u);
  EXPECT_EQ(spots[0], (Position{1040, 16}));
  EXPECT_EQ(spots[1], (Position{1040 + 192, 16}));
  EXPECT_EQ(spots[4], (Position{1040, 16 + 192}));
  // A widget wider than the monitor has no room.
  EXPECT_FALSE(freeSpot(kMonitor, {900, 100}, {}));
}

TEST(FreeSpots, ADroppedWidgetLandsOnTheGridOnItsMonitorAndOverNoOther) {
  // Snapped to the nearest grid point.
  EXPECT_EQ(landingSpot(kMonitor, kSmall, {1024 + 99, 45}, {}), (Position{1024 + 96, 48}));
  // Dragged past the edges, it stays wholly on the monitor.
  EXPECT_EQ(landingSpot(kMonitor, kSmall, {2000, -40}, {}), (Position{1024 + 624, 0}));
  // Dropped over another, it lands at the nearest spot beside it.
  const std::vector<Area> other{{1024 + 200, 200, 170, 170}};
  EXPECT_EQ(landingSpot(kMonitor, kSmall, {1024 + 210, 190}, other), (Position{1024 + 208, 24}));
  // Touching is not overlapping.
  EXPECT_EQ(landingSpot(kMonitor, kSmall, {1024 + 370, 200}, other), (Position{1024 + 376, 200}));
  // No room at all.
  EXPECT_FALSE(landingSpot(kMonitor, {800, 600}, {1024, 0}, other));
}

}  // namespace
}  // namespace vx::desktop
