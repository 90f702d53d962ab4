// Where a tap lands and where a widget shows: pure geometry under the widget windows.

#include <gtest/gtest.h>

#include "desktop/link_map.hpp"
#include "desktop/monitor_place.hpp"

namespace vx::desktop {
namespace {

using Json = nlohmann::json;

TEST(LinkMap, ATapOpensTheLastLinkPaintedThatContainsIt) {
  // A whole-widget link painted first, a row over it, a button over the row.
  const Json links = Json::parse(R"([
    {"rect": [0, 0, 364, 170], "url": "vantorix://open/app"},
    {"rect": [16, 40, 332, 56], "url": "vantorix://open/app/projects/alpha"},
    {"rect": [300, 50, 20, 20], "url": "vantorix://open/app/inbox"}])");
  EXPECT_EQ(linkAt(links, 310, 60), "vantorix://open/app/inbox");
  EXPECT_EQ(linkAt(links, 20, 41), "vantorix://open/app/projects/alpha");
  EXPECT_EQ(linkAt(links, 5, 5), "vantorix://open/app");
  // Right and bottom edges belong to the next rectangle over.
  EXPECT_EQ(linkAt(links, 348, 60), "vantorix://open/app");
  EXPECT_EQ(linkAt(links, 400, 60), std::nullopt);
}

TEST(LinkMap, MalformedLinksArePassedOver) {
  const Json links = Json::parse(R"([
    {"rect": [0, 0, 100, 100], "url": "vantorix://open/app"},
    {"rect": [0, 0, 100], "url": "vantorix://short"},
    {"rect": [0, "0", 100, 100], "url": "vantorix://text"},
    {"rect": [0, 0, 100, 100], "url": 7},
    {"url": "vantorix://none"},
    "not a link"])");
  EXPECT_EQ(linkAt(links, 50, 50), "vantorix://open/app");
  EXPECT_EQ(linkAt(Json::object(), 50, 50), std::nullopt);
}

// Two monitors side by side: 1920 points, and 1280 to its right and lower down.
const std::vector<Area> kMonitors = {{0, 0, 1920, 1080}, {1920, 200, 1280, 800}};

TEST(MonitorPlace, AWidgetShowsOnTheMonitorHoldingItsCorner) {
  EXPECT_EQ(placeOnMonitor({100, 50}, 364, 170, kMonitors, 0), (MonitorPlace{0, {100, 50}}));
  EXPECT_EQ(placeOnMonitor({2000, 300}, 364, 170, kMonitors, 0), (MonitorPlace{1, {80, 100}}));
  // A widget reaching over a monitor's edge stays where it was put.
  EXPECT_EQ(placeOnMonitor({1900, 1000}, 364, 170, kMonitors, 0), (MonitorPlace{0, {1900, 1000}}));
}

TEST(MonitorPlace, AWidgetWhoseMonitorIsGoneShowsWhollyOnThePrimaryOne) {
  // Where the second monitor was (unplugged): as far right as the first one lets it be.
  EXPECT_EQ(placeOnMonitor({3000, 900}, 364, 170, {kMonitors[0]}, 0),
            (MonitorPlace{0, {1920 - 364, 900}}));
  EXPECT_EQ(placeOnMonitor({2500, 10}, 364, 170, kMonitors, 1), (MonitorPlace{1, {580, 0}}));
  EXPECT_EQ(placeOnMonitor({-50, -50}, 364, 170, kMonitors, 0), (MonitorPlace{0, {0, 0}}));
  // A widget larger than the monitor keeps to its top-left corner.
  EXPECT_EQ(placeOnMonitor({5000, 5000}, 748, 382, {{0, 0, 640, 360}}, 0),
            (MonitorPlace{0, {0, 0}}));
}

}  // namespace
}  // namespace vx::desktop
