// The host's windows under a window manager that honours EWMH (openbox on a virtual X display),
// at monitor scale 1 and 2: widget windows are desktop widgets (below other windows, on every
// workspace, out of task bars, pagers and window switchers, not focused, with a WM_CLASS rules
// can match), sit at their positions in points with their families' sizes in points, show the
// drawing made at the monitor's scale, and have rounded corners with the desktop outside them.
// A widget dragged with the pointer (or moved with Alt and an arrow key) lands on the grid, saved
// in points, without opening its link.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <map>
#include <thread>

#include <cairo.h>
#include <gtest/gtest.h>

#include "desk_session.hpp"

// Last: Xlib defines macros (None, Bool, Status) that would clash with the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace vx::desktop {
namespace {

using Json = nlohmann::json;
using testing::ChildProcess;
using testing::eventually;

// What xprop says about properties of a window ("-root" for the root window).
std::string xprop(const DeskSession& desk, const std::string& window,
                  std::vector<std::string> properties) {
  properties.insert(properties.begin(), window == "-root" ? "-root" : "-id");
  if (window != "-root") properties.insert(properties.begin() + 1, window);
  return testing::run(VX_XPROP_PATH, desk.options(properties)).output;
}

// The window ids ("0x...") in xprop's answer, in its order.
std::vector<std::string> windowIds(const std::string& said) {
  std::vector<std::string> ids;
  for (auto at = said.find("0x"); at != std::string::npos; at = said.find("0x", at + 1)) {
    ids.push_back(said.substr(at, said.find_first_not_of("0123456789abcdefx", at) - at));
  }
  return ids;
}

// The whole screen as a cairo image.
cairo_surface_t* screenshot(Display* display) {
  XWindowAttributes root{};
  XGetWindowAttributes(display, DefaultRootWindow(display), &root);
  XImage* image =
      XGetImage(display, DefaultRootWindow(display), 0, 0, static_cast<unsigned>(root.width),
                static_cast<unsigned>(root.height), AllPlanes, ZPixmap);
  cairo_surface_t* surface =
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, root.width, root.height);
  unsigned char* data = cairo_image_surface_get_data(surface);
  for (int y = 0; image != nullptr && y < root.height; ++y) {
    auto* row =
        reinterpret_cast<std::uint32_t*>(data + y * cairo_image_surface_get_stride(surface));
    for (int x = 0; x < root.width; ++x) row[x] = XGetPixel(image, x, y) & 0xffffff;
  }
  if (image != nullptr) XDestroyImage(image);
  cairo_surface_mark_dirty(surface);
  return surface;
}

// The darkest channel of the pixels on and outside the rounded corners of a widget at (x, y),
// `width` × `height` pixels, corners of `radius` pixels.
int darkestAroundCorners(cairo_surface_t* screen, int x, int y, int width, int height,
                         double radius) {
  int darkest = 255;
  for (int row = 0; row < height; ++row) {
    for (int column = 0; column < width; ++column) {
      const double cx = column < radius ? radius : width - radius;
      const double cy = row < radius ? radius : height - radius;
      const bool inCorner =
          (column < radius || column >= width - radius) && (row < radius || row >= height - radius);
      if (!inCorner || std::hypot(column + 0.5 - cx, row + 0.5 - cy) < radius - 1.5) continue;
      const std::uint32_t pixel = pixelAt(screen, x + column, y + row);
      for (int shift : {16, 8, 0}) darkest = std::min<int>(darkest, pixel >> shift & 0xff);
    }
  }
  return darkest;
}

// A window's place and size in pixels: x, y, width, height.
std::vector<int> geometry(Display* display, const std::string& window) {
  int x = 0, y = 0;
  Window child = 0;
  XWindowAttributes attributes{};
  const Window xid = std::stoul(window, nullptr, 16);
  XTranslateCoordinates(display, xid, DefaultRootWindow(display), 0, 0, &x, &y, &child);
  XGetWindowAttributes(display, xid, &attributes);
  return {x, y, attributes.width, attributes.height};
}

// Button 1 pressed at `from`, moved to `to` in ten steps and released there (pixels).
void drag(Display* display, std::pair<int, int> from, std::pair<int, int> to) {
  XTestFakeMotionEvent(display, -1, from.first, from.second, CurrentTime);
  XTestFakeButtonEvent(display, 1, True, CurrentTime);
  for (int step = 1; step <= 10; ++step) {
    XTestFakeMotionEvent(display, -1, from.first + (to.first - from.first) * step / 10,
                         from.second + (to.second - from.second) * step / 10, CurrentTime);
    XSync(display, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  XTestFakeButtonEvent(display, 1, False, CurrentTime);
  XSync(display, False);
}

class ManagedDesktop : public ::testing::TestWithParam<int> {};

TEST_P(ManagedDesktop, WidgetsAreDesktopWidgetsAtTheirPointsShowingTheirRoundedDrawings) {
  if (std::string(VX_XVFB_PATH).empty() || std::string(VX_OPENBOX_PATH).empty() ||
      std::string(VX_XPROP_PATH).empty()) {
    GTEST_SKIP() << "Xvfb, openbox or xprop is not installed (scripts/setup.sh installs them)";
  }
  const int scale = GetParam();
  DeskSession desk;
  ChildProcess xvfb(VX_XVFB_PATH,
                    {"-displayfd", "1", "-screen", "0", "3200x2400x24", "-nolisten", "tcp"},
                    desk.environment());
  const auto number = xvfb.readLine();
  ASSERT_TRUE(number) << "Xvfb did not start";
  desk.environment()["DISPLAY"] = ":" + *number;
  desk.environment()["GDK_BACKEND"] = "x11";
  desk.environment()["GDK_SCALE"] = std::to_string(scale);
  Display* display = XOpenDisplay((":" + *number).c_str());
  ASSERT_NE(display, nullptr);
  const Window root = DefaultRootWindow(display);
  XSetWindowBackground(display, root, 0xdddddd);  // darker than the widgets' light background
  XClearWindow(display, root);
  ChildProcess openbox(VX_OPENBOX_PATH, {"--sm-disable"}, desk.environment());
  ASSERT_TRUE(eventually([&] {
    return !windowIds(xprop(desk, "-root", {"_NET_SUPPORTING_WM_CHECK"})).empty();
  })) << "openbox did not start";

  // Every kind in every family it offers; positions and sizes in points (the screen is
  // 1600×1200 at 2).
  const std::vector<Widget>& widgets = everyKindAndFamily();
  std::map<std::string, Widget> byId;
  std::map<std::string, double> scales;
  for (const Widget& widget : widgets) {
    const std::string id = desk.place(widget.kind, widget.family, widget.x, widget.y);
    byId[id] = widget;
    scales[id] = scale;
  }
  const auto host = desk.runHost();
  const std::vector<Json> records = desk.drawings(scales);
  ASSERT_EQ(records.size(), widgets.size()) << "drawings at scale " << scale << " did not come";

  // Each widget's window, by the role the host gives it ("widget-<id>").
  std::map<std::string, std::string> windows;
  ASSERT_TRUE(eventually([&] {
    for (const std::string& window : windowIds(xprop(desk, "-root", {"_NET_CLIENT_LIST"}))) {
      const std::string role = xprop(desk, window, {"WM_WINDOW_ROLE"});
      const auto at = role.find("\"widget-");
      if (at != std::string::npos) windows[role.substr(at + 8, role.rfind('"') - at - 8)] = window;
    }
    return windows.size() == widgets.size();
  })) << "the window manager manages "
      << windows.size() << " widget windows";
  const std::string active = xprop(desk, "-root", {"_NET_ACTIVE_WINDOW"});
  for (const auto& [id, window] : windows) {
    SCOPED_TRACE("widget " + id);
    const std::string said = xprop(
        desk, window,
        {"WM_CLASS", "_NET_WM_WINDOW_TYPE", "_NET_WM_STATE", "_NET_WM_DESKTOP", "_NET_WM_NAME"});
    const std::map<std::string, std::string> titles = {{"ProjectSummaryWidget", "Project"},
                                                       {"AllProjectsWidget", "Projects"},
                                                       {"WaitingWidget", "Needs you"}};
    const std::string title = "_NET_WM_NAME(UTF8_STRING) = \"" + titles.at(byId.at(id).kind) + "\"";
    for (const char* expected :
         {title.c_str(), "WM_CLASS(STRING) = \"vantorix-widget-host\", \"vantorix-widget-host\"",
          "_NET_WM_WINDOW_TYPE(ATOM) = _NET_WM_WINDOW_TYPE_DESKTOP", "_NET_WM_STATE_BELOW",
          "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER",
          "_NET_WM_DESKTOP(CARDINAL) = 4294967295"}) {  // every workspace
      EXPECT_NE(said.find(expected), std::string::npos) << expected << " not in " << said;
    }
    EXPECT_EQ(active.find(window), std::string::npos) << "it took the focus";
    const Widget& widget = byId.at(id);
    EXPECT_EQ(geometry(display, window),
              std::vector({widget.x * scale, widget.y * scale, widget.width * scale,
                           widget.height * scale}));
  }

  // The screen shows each drawing inside rounded corners with the desktop outside; without a
  // compositor the corners are cut, and their rim shows no dark edge.
  for (const Json& record : records) {
    SCOPED_TRACE("widget " + record.at("id").get<std::string>());
    const Widget& widget = byId.at(record.at("id").get<std::string>());
    const int x = widget.x * scale, y = widget.y * scale;
    expectShown(
        desk.imageOf(record.at("id"), scale), [display] { return screenshot(display); }, x, y,
        scale);
    cairo_surface_t* screen = screenshot(display);
    EXPECT_GE(darkestAroundCorners(screen, x, y, widget.width * scale, widget.height * scale,
                                   20.0 * scale),
              0xdd - 3);
    cairo_surface_destroy(screen);
  }

  // The first widget dragged 300 × 650 points lands on the grid spot nearest to there, keeps its
  // drawing and opens no link; a click without moving opens one.
  const auto first = std::find_if(records.begin(), records.end(), [&](const Json& record) {
    return byId.at(record.at("id").get<std::string>()).x == 10;
  });
  const std::string id = first->at("id").get<std::string>();
  drag(display, {95 * scale, 97 * scale}, {395 * scale, 747 * scale});
  const auto savedAt = [&] {
    for (const Json& placement : desk.placements().value("widgets", Json::array())) {
      if (placement.value("id", "") == id) return placement.value("position", Json());
    }
    return Json();
  };
  EXPECT_TRUE(eventually([&] { return savedAt() == Json{{"x", 312}, {"y", 664}}; })) << savedAt();
  EXPECT_TRUE(eventually([&] {
    return geometry(display, windows.at(id)) ==
           std::vector({312 * scale, 664 * scale, 170 * scale, 170 * scale});
  }));
  expectShown(
      desk.imageOf(id, scale), [display] { return screenshot(display); }, 312 * scale, 664 * scale,
      scale);
  EXPECT_EQ(testing::readFile(desk.opened()), "") << "the drag opened a link";
  const Json& link = first->at("links").at(0);
  const Json& rect = link.at("rect");
  XTestFakeMotionEvent(
      display, -1,
      static_cast<int>((312 + rect[0].get<double>() + rect[2].get<double>() / 2) * scale),
      static_cast<int>((664 + rect[1].get<double>() + rect[3].get<double>() / 2) * scale),
      CurrentTime);
  XTestFakeButtonEvent(display, 1, True, CurrentTime);
  XTestFakeButtonEvent(display, 1, False, CurrentTime);
  XSync(display, False);
  EXPECT_TRUE(eventually([&] { return testing::readFile(desk.opened()) == link.at("url"); }));
  // With the focus, Alt+Right moves it one grid step.
  XSetInputFocus(display, std::stoul(windows.at(id), nullptr, 16), RevertToPointerRoot,
                 CurrentTime);
  for (const auto& [key, down] :
       {std::pair{XK_Alt_L, True}, {XK_Right, True}, {XK_Right, False}, {XK_Alt_L, False}}) {
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, key), down, CurrentTime);
  }
  XSync(display, False);
  EXPECT_TRUE(eventually([&] { return savedAt() == Json{{"x", 320}, {"y", 664}}; })) << savedAt();

  // An ordinary window opened later stays above the widgets.
  XMapWindow(display, XCreateSimpleWindow(display, root, 0, 0, 300, 300, 0, 0, 0xffffff));
  XSync(display, False);
  std::vector<std::string> stacking;
  ASSERT_TRUE(eventually([&] {
    stacking = windowIds(xprop(desk, "-root", {"_NET_CLIENT_LIST_STACKING"}));
    return stacking.size() == widgets.size() + 1;
  }));
  for (const auto& [id, window] : windows) EXPECT_NE(stacking.back(), window) << "widget " << id;
  XCloseDisplay(display);
}

INSTANTIATE_TEST_SUITE_P(AtScale, ManagedDesktop, ::testing::Values(1, 2));

}  // namespace
}  // namespace vx::desktop
