// The host's windows on a Wayland compositor with layer-shell (sway, headless, run as an ordinary
// user since it refuses root): widgets become layer surfaces, not windows of the compositor's
// tree, each at its position in points on the monitor that holds it, drawn at that monitor's
// scale, as screenshots (grim) show. A widget whose monitor is missing shows on another one,
// and goes to its place, drawn again at that monitor's scale (2), once the monitor comes.

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
  if (std::string(VX_SWAY_PATH).empty() || std::string(VX_SWAYMSG_PATH).empty() ||
      std::string(VX_GRIM_PATH).empty()) {
    GTEST_SKIP() << "sway, swaymsg or grim is not installed (scripts/setup.sh installs them)";
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
  environment["WLR_HEADLESS_OUTPUTS"] = "1";  // the second one comes later
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
  const std::vector<Json> records = desk.drawings({{first, 1.0}, {second, 1.0}});
  ASSERT_EQ(records.size(), 2U) << "drawings did not come; index: "
                                << testing::readFile(desk.work() / "out" / "index.json");

  const auto grim = [&](const char* output) {
    return [&desk, output] {
      const auto shot = desk.work() / (std::string(output) + ".png");
      (void)testing::run(VX_GRIM_PATH, desk.options({"-o", output, shot.string()}));
      return cairo_image_surface_create_from_png(shot.c_str());
    };
  };
  // The second widget's monitor is not there yet: it shows on the first one, as far right as
  // it fits.
  for (const Json& record : records) {
    const bool onFirst = record.at("id") == first;
    SCOPED_TRACE(onFirst ? "on its monitor" : "on the first monitor, its own one missing");
    expectShown(desk.image(record), grim("HEADLESS-1"), onFirst ? 40 : 1024 - 170,
                onFirst ? 30 : 40, 1);
  }

  // The monitor comes: the widget goes to its place there, drawn again at that monitor's scale.
  const std::string ipc = socketIn(run, "sway-ipc.");
  ASSERT_FALSE(ipc.empty());
  environment["SWAYSOCK"] = (run / ipc).string();
  const auto tree = testing::run(VX_SWAYMSG_PATH, desk.options({"-t", "get_tree"}));
  EXPECT_EQ(tree.output.find("vantorix"), std::string::npos) << "a widget is a window of sway's";
  ASSERT_EQ(testing::run(VX_SWAYMSG_PATH, desk.options({"create_output"})).status, 0);
  const std::vector<Json> moved = desk.drawings({{first, 1.0}, {second, 2.0}});
  ASSERT_EQ(moved.size(), 2U) << "no drawing at scale 2 once the monitor came; index: "
                              << testing::readFile(desk.work() / "out" / "index.json");
  const Json& moving = moved[0].at("id") == second ? moved[0] : moved[1];
  expectShown(desk.image(moving), grim("HEADLESS-2"), 120, 80, 2);
  host->stop(SIGTERM);
  EXPECT_NE(host->error().find("layer-shell surfaces on the bottom layer"), std::string::npos)
      << host->error();
}

}  // namespace
}  // namespace vx::desktop
