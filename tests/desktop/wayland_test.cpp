// The host's windows on a Wayland compositor with layer-shell (sway, headless, run as an ordinary
// user since it refuses root): widgets become layer surfaces, not windows of the compositor's
// tree, each at its position in points on the monitor that holds it, drawn at that monitor's
// scale (two monitors, scale 1 and 2), as screenshots (grim) show.

#include <filesystem>
#include <fstream>

#include <cairo.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "desk_session.hpp"
#include "support/unprivileged.hpp"

namespace vx::desktop {
namespace {

using Json = nlohmann::json;
using testing::ChildProcess;
using testing::eventually;

// The first file in `folder` whose name starts with `prefix` and does not end with ".lock".
std::string socketIn(const std::filesystem::path& folder, const std::string& prefix) {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with(prefix) && !name.ends_with(".lock")) return name;
  }
  return {};
}

TEST(LayerShell, WidgetsAreLayerSurfacesAtTheirPointsDrawnAtTheirMonitorsScale) {
  if (std::string(VX_SWAY_PATH).empty() || std::string(VX_GRIM_PATH).empty()) {
    GTEST_SKIP() << "sway or grim is not installed (scripts/setup.sh installs them)";
  }
  const std::optional<uid_t> user =
      ::geteuid() == 0 ? std::optional<uid_t>(testing::kUnprivilegedUser) : std::nullopt;
  DeskSession desk(user);
  const auto config = desk.work() / "sway.conf";
  std::ofstream(config) << "output HEADLESS-1 resolution 1024x768 position 0 0 scale 1\n"
                           "output HEADLESS-2 resolution 1024x768 position 1024 0 scale 2\n"
                           "xwayland disable\n";
  testing::handOver(desk.work());
  testing::Environment& environment = desk.environment();
  environment["WLR_BACKENDS"] = "headless";
  environment["WLR_RENDERER"] = "pixman";
  environment["WLR_LIBINPUT_NO_DEVICES"] = "1";
  environment["WLR_HEADLESS_OUTPUTS"] = "2";
  ChildProcess sway(VX_SWAY_PATH, desk.options({"-c", config.string()}));
  const auto run = desk.work() / "run";
  std::string wayland;
  ASSERT_TRUE(eventually([&] { return !(wayland = socketIn(run, "wayland-")).empty(); }))
      << "sway did not start";
  environment["WAYLAND_DISPLAY"] = wayland;

  // One widget on each monitor: points on the whole desktop (the second monitor is 512 points
  // wide from x = 1024).
  const std::string first = desk.place("WaitingWidget", "systemMedium", 40, 30);
  const std::string second = desk.place("ProjectSummaryWidget", "systemSmall", 1024 + 60, 40);
  const auto host = desk.runHost();
  const std::vector<Json> records = desk.drawings({{first, 1.0}, {second, 2.0}});
  ASSERT_EQ(records.size(), 2U) << "drawings at each monitor's scale did not come; host said: "
                                << host->error();

  for (const Json& record : records) {
    const bool onFirst = record.at("id") == first;
    SCOPED_TRACE(onFirst ? "on the monitor of scale 1" : "on the monitor of scale 2");
    const double scale = onFirst ? 1 : 2;
    const int x = onFirst ? 40 : 120, y = onFirst ? 30 : 80;
    const auto shot = desk.work() / (onFirst ? "first.png" : "second.png");
    cairo_surface_t* drawing = cairo_image_surface_create_from_png(desk.image(record).c_str());
    ASSERT_EQ(cairo_surface_status(drawing), CAIRO_STATUS_SUCCESS);
    double share = 0;
    cairo_surface_t* screen = nullptr;
    EXPECT_TRUE(eventually([&] {
      if (screen != nullptr) cairo_surface_destroy(screen);
      const auto grabbed = testing::run(
          VX_GRIM_PATH, desk.options({"-o", onFirst ? "HEADLESS-1" : "HEADLESS-2", shot.string()}));
      screen = cairo_image_surface_create_from_png(shot.c_str());
      share = grabbed.status == 0 ? matchingShare(drawing, screen, x, y, scale) : 0;
      return share > 0.99;
    })) << "share of matching pixels: "
        << share;
    EXPECT_LT(matchingShare(drawing, screen, x + 4, y + 4, scale), 0.99);
    EXPECT_EQ(pixelAt(screen, x + 1, y + 1), pixelAt(screen, x - 1, y - 1))
        << "a square corner shows";
    cairo_surface_destroy(screen);
    cairo_surface_destroy(drawing);
  }
  host->stop(SIGTERM);
  EXPECT_NE(host->error().find("layer-shell surfaces on the bottom layer"), std::string::npos)
      << host->error();
}

}  // namespace
}  // namespace vx::desktop
