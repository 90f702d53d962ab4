// The host's windows under a window manager that honours EWMH (openbox on a virtual X display),
// at monitor scale 1 and 2: widget windows are desktop widgets (below other windows, on every
// workspace, out of task bars, pagers and window switchers, not focused, with a WM_CLASS rules
// can match), sit at their positions in points with their families' sizes in points, show the
// drawing made at the monitor's scale, and have rounded corners with the desktop showing
// outside them.

#include <algorithm>
#include <map>

#include <cairo.h>
#include <gtest/gtest.h>

#include "desk_session.hpp"

// Last: Xlib defines macros (None, Bool, Status) that would clash with the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace vx::desktop {
namespace {

using Json = nlohmann::json;
using testing::ChildProcess;
using testing::eventually;

// A window's property as a list of 32-bit values (atoms, windows, cardinals).
std::vector<unsigned long> property(Display* display, Window window, const char* name, Atom type) {
  Atom actual = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::vector<unsigned long> values;
  if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1024, False, type,
                         &actual, &format, &count, &after, &data) == Success &&
      data != nullptr && format == 32) {
    const auto* items = reinterpret_cast<const unsigned long*>(data);
    values.assign(items, items + count);
  }
  if (data != nullptr) XFree(data);
  return values;
}

std::string textProperty(Display* display, Window window, const char* name) {
  XTextProperty text{};
  std::string value;
  if (XGetTextProperty(display, window, &text, XInternAtom(display, name, False)) != 0 &&
      text.value != nullptr) {
    value.assign(reinterpret_cast<const char*>(text.value), text.nitems);
    XFree(text.value);
  }
  return value;
}

bool has(const std::vector<unsigned long>& values, Display* display, const char* atom) {
  return std::find(values.begin(), values.end(), XInternAtom(display, atom, False)) != values.end();
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
  const int stride = cairo_image_surface_get_stride(surface);
  for (int y = 0; image != nullptr && y < root.height; ++y) {
    for (int x = 0; x < root.width; ++x) {
      *reinterpret_cast<std::uint32_t*>(data + y * stride + x * 4) =
          static_cast<std::uint32_t>(XGetPixel(image, x, y)) & 0xffffff;
    }
  }
  if (image != nullptr) XDestroyImage(image);
  cairo_surface_mark_dirty(surface);
  return surface;
}

struct Widget {
  std::string kind, family;
  int x, y, width, height;
};

class ManagedDesktop : public ::testing::TestWithParam<int> {};

TEST_P(ManagedDesktop, WidgetsAreDesktopWidgetsAtTheirPointsShowingTheirRoundedDrawings) {
  if (std::string(VX_OPENBOX_PATH).empty()) {
    GTEST_SKIP() << "openbox is not installed (scripts/setup.sh installs it)";
  }
  const int scale = GetParam();
  DeskSession desk;
  ChildProcess xvfb(VX_XVFB_PATH,
                    {"-displayfd", "1", "-screen", "0", "1600x1400x24", "-br", "-nolisten", "tcp"},
                    desk.environment());
  const auto number = xvfb.readLine();
  ASSERT_TRUE(number) << "Xvfb did not start";
  desk.environment()["DISPLAY"] = ":" + *number;
  desk.environment()["GDK_BACKEND"] = "x11";
  desk.environment()["GDK_SCALE"] = std::to_string(scale);
  Display* display = XOpenDisplay((":" + *number).c_str());
  ASSERT_NE(display, nullptr);
  const Window root = DefaultRootWindow(display);
  ChildProcess openbox(VX_OPENBOX_PATH, {"--sm-disable"}, desk.environment());
  ASSERT_TRUE(eventually([&] {
    return !property(display, root, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW).empty();
  })) << "openbox did not start";

  // Every kind, in three families; positions and sizes in points (the screen is 800×700 at 2).
  const std::vector<Widget> widgets = {{"ProjectSummaryWidget", "systemSmall", 10, 12, 170, 170},
                                       {"WaitingWidget", "systemMedium", 200, 12, 364, 170},
                                       {"AllProjectsWidget", "systemLarge", 10, 200, 364, 382}};
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

  // Each widget's window, by the role the host gives it.
  std::map<std::string, Window> windows;
  ASSERT_TRUE(eventually([&] {
    XSync(display, False);
    windows.clear();
    for (Window client : property(display, root, "_NET_CLIENT_LIST", XA_WINDOW)) {
      const std::string role = textProperty(display, client, "WM_WINDOW_ROLE");
      if (role.starts_with("widget-")) windows[role.substr(7)] = client;
    }
    return windows.size() == widgets.size();
  })) << "the window manager manages "
      << windows.size() << " widget windows";

  for (const auto& [id, window] : windows) {
    SCOPED_TRACE("widget " + id);
    XClassHint hint{};
    ASSERT_NE(XGetClassHint(display, window, &hint), 0);
    EXPECT_STREQ(hint.res_name, "vantorix-widget-host");
    EXPECT_STREQ(hint.res_class, "vantorix-widget-host");
    XFree(hint.res_name);
    XFree(hint.res_class);
    EXPECT_TRUE(has(property(display, window, "_NET_WM_WINDOW_TYPE", XA_ATOM), display,
                    "_NET_WM_WINDOW_TYPE_DESKTOP"));
    const auto state = property(display, window, "_NET_WM_STATE", XA_ATOM);
    for (const char* flag :
         {"_NET_WM_STATE_BELOW", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"}) {
      EXPECT_TRUE(has(state, display, flag)) << flag;
    }
    const auto desktop = property(display, window, "_NET_WM_DESKTOP", XA_CARDINAL);
    ASSERT_EQ(desktop.size(), 1U);
    EXPECT_EQ(desktop[0] & 0xFFFFFFFF, 0xFFFFFFFF);  // every workspace
    const Widget& widget = byId.at(id);
    int x = 0, y = 0;
    Window child = 0, ignored = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    int gx = 0, gy = 0;
    XTranslateCoordinates(display, window, root, 0, 0, &x, &y, &child);
    XGetGeometry(display, window, &ignored, &gx, &gy, &width, &height, &border, &depth);
    EXPECT_EQ(x, widget.x * scale);
    EXPECT_EQ(y, widget.y * scale);
    EXPECT_EQ(width, static_cast<unsigned>(widget.width * scale));
    EXPECT_EQ(height, static_cast<unsigned>(widget.height * scale));
  }
  // None of them took the focus.
  for (Window active : property(display, root, "_NET_ACTIVE_WINDOW", XA_WINDOW)) {
    for (const auto& [id, window] : windows) EXPECT_NE(active, window) << "widget " << id;
  }

  // What the screen shows is each drawing, inside rounded corners with the desktop outside.
  for (const Json& record : records) {
    SCOPED_TRACE("widget " + record.at("id").get<std::string>());
    const Widget& widget = byId.at(record.at("id").get<std::string>());
    cairo_surface_t* drawing = cairo_image_surface_create_from_png(desk.image(record).c_str());
    ASSERT_EQ(cairo_surface_status(drawing), CAIRO_STATUS_SUCCESS);
    ASSERT_EQ(cairo_image_surface_get_width(drawing), widget.width * scale);
    const int x = widget.x * scale, y = widget.y * scale;
    double share = 0;
    cairo_surface_t* screen = nullptr;
    EXPECT_TRUE(eventually([&] {
      if (screen != nullptr) cairo_surface_destroy(screen);
      screen = screenshot(display);
      share = matchingShare(drawing, screen, x, y, scale);
      return share > 0.99;
    })) << "share of matching pixels: "
        << share;
    EXPECT_LT(matchingShare(drawing, screen, x + 4, y + 4, scale), 0.99);  // tells places apart
    const std::uint32_t desktop = pixelAt(screen, x - 1, y - 1);
    EXPECT_EQ(pixelAt(screen, x + 1, y + 1), desktop) << "a square corner shows";
    EXPECT_NE(pixelAt(drawing, 1, 1), desktop);  // the drawing itself is not the desktop there
    cairo_surface_destroy(screen);
    cairo_surface_destroy(drawing);
  }

  // An ordinary window opened later stays above the widgets.
  const Window normal = XCreateSimpleWindow(display, root, 0, 0, 300, 300, 0, 0, 0xffffff);
  XMapWindow(display, normal);
  XSync(display, False);
  std::vector<unsigned long> stacking;
  ASSERT_TRUE(eventually([&] {
    stacking = property(display, root, "_NET_CLIENT_LIST_STACKING", XA_WINDOW);
    return std::find(stacking.begin(), stacking.end(), normal) != stacking.end();
  }));
  const auto above = std::find(stacking.begin(), stacking.end(), normal);
  for (const auto& [id, window] : windows) {
    EXPECT_LT(std::find(stacking.begin(), stacking.end(), window), above) << "widget " << id;
  }
  XCloseDisplay(display);
}

INSTANTIATE_TEST_SUITE_P(AtScale, ManagedDesktop, ::testing::Values(1, 2));

}  // namespace
}  // namespace vx::desktop
