// Where a dropped widget lands: near where it was dropped, on the monitor under its centre,
// never over another widget or off its monitor; nowhere when there is no room.

#include "desktop/widget_moves.hpp"

#include <gtest/gtest.h>

namespace vx::desktop {
namespace {

Placement small(const std::string& id, Position position) {
  return {id, "W", host::WidgetFamily::systemSmall, nlohmann::json::object(), position};
}

TEST(DropSpot, LandsOnTheGridNearTheDropOnTheMonitorUnderItsCentreOverNoOther) {
  const std::vector<Area> monitors = {{0, 0, 1024, 768}, {1024, 0, 1024, 768}};
  Placements placements;
  placements.widgets = {small("1", {16, 16}), small("2", {400, 16})};
  // A small move stays near: the widget's own place does not count as taken.
  EXPECT_EQ(dropSpot(placements, "1", {27, 21}, monitors, 0), (Position{24, 24}));
  // Over the other widget: the nearest spot beside it (widgets are 170 points wide).
  EXPECT_EQ(dropSpot(placements, "1", {390, 16}, monitors, 0), (Position{224, 16}));
  // The centre on the second monitor (the corner still on the first): wholly on the second.
  EXPECT_EQ(dropSpot(placements, "1", {950, 102}, monitors, 0), (Position{1024, 104}));
  // Off every monitor, its centre too: on the monitor it shows on now, inside it.
  EXPECT_EQ(dropSpot(placements, "1", {-300, 700}, monitors, 0), (Position{0, 592}));
}

TEST(DropSpot, NowhereForAnUnknownWidgetOrAFullMonitor) {
  const std::vector<Area> monitors = {{0, 0, 200, 200}};
  Placements placements;
  placements.widgets = {small("1", {0, 0}), small("2", {0, 0})};
  EXPECT_EQ(dropSpot(placements, "3", {0, 0}, monitors, 0), std::nullopt);
  EXPECT_EQ(dropSpot(placements, "1", {10, 10}, monitors, 0), std::nullopt);
  EXPECT_EQ(dropSpot(placements, "1", {10, 10}, {}, 0), std::nullopt);
}

}  // namespace
}  // namespace vx::desktop
