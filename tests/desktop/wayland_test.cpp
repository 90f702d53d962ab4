// The host's windows on a Wayland compositor with layer-shell (sway, headless, run as an ordinary
// user since it refuses root): widgets become layer surfaces, not windows of the compositor's
// tree, each at its position in points on the monitor that holds it, drawn at that monitor's
// scale, as screenshots (grim) show. A widget whose monitor is missing shows on another one,
// and goes to its place, drawn again at that monitor's scale (2), once the monitor comes. Every
// kind in every family shows at its place on monitors of scale 1 and 2, and a moved widget's
// surface follows its placement. (A headless sway's seat has no input device: clicks, keys and
// drags on sway are the accessibility tests', with sway nested in a virtual X display.)

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>

#include <cairo.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "desk_session.hpp"
#include "support/unprivileged.hpp"

// Last: Xlib defines macros (None, Bool, Status) that would clash with the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

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

bool swayMissing() {
  return std::string(VX_SWAY_PATH).empty() || std::string(VX_SWAYMSG_PATH).empty() ||
         std::string(VX_GRIM_PATH).empty();
}

std::optional<uid_t> unprivileged() {
  return ::geteuid() == 0 ? std::optional<uid_t>(testing::kUnprivilegedUser) : std::nullopt;
}

// Headless sway with `outputs` monitors set up by `config`; its Wayland display and its IPC
// socket go into the session's environment. Nothing when it does not start.
std::unique_ptr<ChildProcess> startSway(DeskSession& desk, const std::string& config, int outputs) {
  const auto file = desk.work() / "sway.conf";
  std::ofstream(file) << config << "xwayland disable\n";
  testing::handOver(desk.work());
  testing::Environment& environment = desk.environment();
  environment["WLR_BACKENDS"] = "headless";
  environment["WLR_RENDERER"] = "pixman";
  environment["WLR_LIBINPUT_NO_DEVICES"] = "1";
  environment["WLR_HEADLESS_OUTPUTS"] = std::to_string(outputs);
  auto sway = std::make_unique<ChildProcess>(VX_SWAY_PATH, desk.options({"-c", file.string()}));
  const auto run = desk.work() / "run";
  std::string wayland, ipc;
  if (!eventually([&] {
        wayland = socketIn(run, "wayland-");
        ipc = socketIn(run, "sway-ipc.");
        return !wayland.empty() && !ipc.empty();
      })) {
    return nullptr;
  }
  environment["WAYLAND_DISPLAY"] = wayland;
  environment["SWAYSOCK"] = (run / ipc).string();
  return sway;
}

int swaymsg(const DeskSession& desk, std::vector<std::string> arguments) {
  return testing::run(VX_SWAYMSG_PATH, desk.options(std::move(arguments))).status;
}

// A screenshot of one of sway's outputs, as grim takes it.
std::function<cairo_surface_t*()> grim(const DeskSession& desk, const std::string& output) {
  return [&desk, output] {
    const auto shot = desk.work() / (output + ".png");
    (void)testing::run(VX_GRIM_PATH, desk.options({"-o", output, shot.string()}));
    return cairo_image_surface_create_from_png(shot.c_str());
  };
}

TEST(LayerShell, WidgetsAreLayerSurfacesAtTheirPointsDrawnAtTheirMonitorsScale) {
  if (swayMissing()) GTEST_SKIP() << "sway, swaymsg or grim is not installed (scripts/setup.sh)";
  DeskSession desk(unprivileged());
  // The second monitor comes later.
  const auto sway = startSway(desk,
                              "output HEADLESS-1 resolution 1024x768 position 0 0 scale 1\n"
                              "output HEADLESS-2 resolution 1024x768 position 1024 0 scale 2\n",
                              1);
  ASSERT_TRUE(sway) << "sway did not start";

  // One widget on each monitor: points on the whole desktop (the second monitor is 512 points
  // wide from x = 1024).
  const std::string first = desk.place("WaitingWidget", "systemMedium", 40, 30);
  const std::string second = desk.place("ProjectSummaryWidget", "systemSmall", 1024 + 60, 40);
  const auto host = desk.runHost();
  const std::vector<Json> records = desk.drawings({{first, 1.0}, {second, 1.0}});
  ASSERT_EQ(records.size(), 2U) << "drawings did not come; index: "
                                << testing::readFile(desk.work() / "out" / "index.json");

  // The second widget's monitor is not there yet: it shows on the first one, as far right as
  // it fits.
  for (const Json& record : records) {
    const bool onFirst = record.at("id") == first;
    SCOPED_TRACE(onFirst ? "on its monitor" : "on the first monitor, its own one missing");
    expectShown(desk.imageOf(record.at("id").get<std::string>(), 1), grim(desk, "HEADLESS-1"),
                onFirst ? 40 : 1024 - 170, onFirst ? 30 : 40, 1);
  }

  // The monitor comes: the widget goes to its place there, drawn again at that monitor's scale.
  const auto tree = testing::run(VX_SWAYMSG_PATH, desk.options({"-t", "get_tree"}));
  EXPECT_EQ(tree.output.find("vantorix"), std::string::npos) << "a widget is a window of sway's";
  ASSERT_EQ(swaymsg(desk, {"create_output"}), 0);
  const std::vector<Json> moved = desk.drawings({{first, 1.0}, {second, 2.0}});
  ASSERT_EQ(moved.size(), 2U) << "no drawing at scale 2 once the monitor came; index: "
                              << testing::readFile(desk.work() / "out" / "index.json");
  expectShown(desk.imageOf(second, 2), grim(desk, "HEADLESS-2"), 120, 80, 2);
  host->stop(SIGTERM);
  EXPECT_NE(host->error().find("layer-shell surfaces on the bottom layer"), std::string::npos)
      << host->error();
}

TEST(LayerShell, EveryKindAndFamilyShowsAtItsPlaceAtScale1And2AndFollowsItsMoves) {
  if (swayMissing()) GTEST_SKIP() << "sway, swaymsg or grim is not installed (scripts/setup.sh)";
  DeskSession desk(unprivileged());
  const auto sway = startSway(desk,
                              "output HEADLESS-1 resolution 1600x900 position 0 0 scale 1\n"
                              "output HEADLESS-2 resolution 3200x1800 position 1600 0 scale 2\n",
                              2);
  ASSERT_TRUE(sway) << "sway did not start";
  struct Shown {
    Widget widget;
    int scale;
  };
  std::map<std::string, Shown> placed;
  std::map<std::string, double> scales;
  for (const int scale : {1, 2}) {
    for (const Widget& widget : everyKindAndFamily()) {
      const int x = widget.x + (scale == 2 ? 1600 : 0);
      const std::string id = desk.place(widget.kind, widget.family, x, widget.y);
      placed[id] = {widget, scale};
      scales[id] = scale;
    }
  }
  const auto host = desk.runHost();
  const std::vector<Json> records = desk.drawings(scales);
  ASSERT_EQ(records.size(), placed.size())
      << "drawings did not come; index: " << testing::readFile(desk.work() / "out" / "index.json");
  for (const Json& record : records) {
    const std::string id = record.at("id").get<std::string>();
    const auto& [widget, scale] = placed.at(id);
    SCOPED_TRACE(widget.kind + " " + widget.family + " at scale " + std::to_string(scale));
    EXPECT_EQ(record.at("size"), Json::array({widget.width, widget.height}));
    expectShown(desk.imageOf(id, scale), grim(desk, scale == 1 ? "HEADLESS-1" : "HEADLESS-2"),
                widget.x * scale, widget.y * scale, scale);
  }

  // Moved on its monitor, a widget's surface goes there (its margins) with the drawing it had;
  // moved to the other monitor, it is drawn again at that monitor's scale.
  const std::string moved = std::find_if(placed.begin(), placed.end(), [](const auto& shown) {
                              return shown.second.scale == 1 && shown.second.widget.x == 10;
                            })->first;
  const std::filesystem::path drawing = desk.imageOf(moved, 1)();
  ASSERT_EQ(desk.host({"configure", moved, "--x", "312", "--y", "664"}).status, 0);
  expectShown(desk.imageOf(moved, 1), grim(desk, "HEADLESS-1"), 312, 664, 1);
  EXPECT_EQ(desk.imageOf(moved, 1)(), drawing) << "the moved widget was drawn again";
  ASSERT_EQ(desk.host({"configure", moved, "--x", "1912", "--y", "664"}).status, 0);
  expectShown(desk.imageOf(moved, 2), grim(desk, "HEADLESS-2"), 624, 1328, 2);
}

// The X window under `window` (itself included) whose WM_WINDOW_ROLE is `role`; 0 when none is.
Window windowWithRole(Display* display, Window window, const std::string& role) {
  XTextProperty said{};
  const Atom roleAtom = XInternAtom(display, "WM_WINDOW_ROLE", False);
  if (XGetTextProperty(display, window, &said, roleAtom) != 0 && said.value != nullptr) {
    const bool found = role == reinterpret_cast<const char*>(said.value);
    XFree(said.value);
    if (found) return window;
  }
  Window root = 0, parent = 0, *children = nullptr;
  unsigned count = 0;
  Window found = 0;
  if (XQueryTree(display, window, &root, &parent, &children, &count) == 0) return 0;
  for (unsigned i = 0; i < count && found == 0; ++i) {
    found = windowWithRole(display, children[i], role);
  }
  if (children != nullptr) XFree(children);
  return found;
}

// Weston offers no layer-shell: the host starts again with X11 windows through weston's
// Xwayland. (Weston's own window manager places X11 windows where it likes, so their places
// are not checked here; window managers of desktops keep them.)
TEST(XwaylandFallback, WithoutLayerShellWidgetsAreX11WindowsThroughXwayland) {
  if (std::string(VX_WESTON_PATH).empty()) {
    GTEST_SKIP() << "weston is not installed (scripts/setup.sh installs it)";
  }
  DeskSession desk;  // as the test runs: it talks to the X server too
  const auto log = desk.work() / "weston.log";
  ChildProcess weston(VX_WESTON_PATH,
                      desk.options({"--backend=headless-backend.so", "--xwayland",
                                    "--socket=wayland-vx", "--log=" + log.string()}));
  std::string display;
  std::string said;
  ASSERT_TRUE(eventually([&] {
    said = testing::readFile(log);
    const auto at = said.find("listening on display ");
    if (said.find("failed to bind") != std::string::npos) return true;
    if (at == std::string::npos || said.find('\n', at) == std::string::npos) return false;
    display = said.substr(at + 21, said.find('\n', at) - at - 21);
    return true;
  })) << "weston's Xwayland did not start: "
      << said;
  // Another X server's leftover socket in the shared /tmp/.X11-unix stops weston's Xwayland.
  if (display.empty()) GTEST_SKIP() << "weston's Xwayland found no free display: " << said;
  desk.environment()["WAYLAND_DISPLAY"] = "wayland-vx";
  desk.environment()["DISPLAY"] = display;
  const std::string id = desk.place("WaitingWidget", "systemSmall", 40, 30);
  const auto host = desk.runHost();
  ASSERT_EQ(desk.drawings({{id, 1.0}}).size(), 1U) << "no drawing came";
  Display* x = XOpenDisplay(display.c_str());
  ASSERT_NE(x, nullptr);
  Window window = 0;
  EXPECT_TRUE(eventually([&] {
    return (window = windowWithRole(x, DefaultRootWindow(x), "widget-" + id)) != 0;
  })) << "no X11 window for the widget";
  char* title = nullptr;
  if (window != 0 && XFetchName(x, window, &title) != 0) {
    EXPECT_STREQ(title, "Needs you");
    XFree(title);
  }
  XCloseDisplay(x);
  host->stop(SIGTERM);
  EXPECT_NE(host->error().find("widgets are X11 windows through Xwayland"), std::string::npos)
      << host->error();
}

}  // namespace
}  // namespace vx::desktop
