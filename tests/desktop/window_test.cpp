// The windowed host on a virtual X display: a placed widget's window shows the drawing the
// extension made, at the widget's position, and a click on a row opens the row's link through
// the desktop's handler for the scheme (one registered in the test's own XDG folders), and an
// authorisation request asks the user with a dialog whose answer the host keeps.

#include <chrono>
#include <fstream>
#include <thread>
#include <vector>

#include <cairo.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "support/local_client.hpp"
#include "support/process.hpp"
#include "support/scratch.hpp"

// Last: Xlib defines macros (None, Bool, Status) that would clash with the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace vx::desktop {
namespace {

using testing::askLocal;
using testing::ChildProcess;
using testing::eventually;
using testing::readFile;

// Share of the image's pixels that the screen shows (each channel within 2) at (x, y).
double matchingShare(Display* display, cairo_surface_t* image, int x, int y) {
  const int width = cairo_image_surface_get_width(image);
  const int height = cairo_image_surface_get_height(image);
  XImage* screen =
      XGetImage(display, DefaultRootWindow(display), x, y, static_cast<unsigned>(width),
                static_cast<unsigned>(height), AllPlanes, ZPixmap);
  if (screen == nullptr) return 0;
  const unsigned char* data = cairo_image_surface_get_data(image);
  const int stride = cairo_image_surface_get_stride(image);
  long matching = 0;
  for (int row = 0; row < height; ++row) {
    for (int column = 0; column < width; ++column) {
      const auto pixel = *reinterpret_cast<const std::uint32_t*>(data + row * stride + column * 4);
      const unsigned long shown = XGetPixel(screen, column, row);
      bool same = true;
      for (int shift : {16, 8, 0}) {
        const int a = static_cast<int>((pixel >> shift) & 0xff);
        const int b = static_cast<int>((shown >> shift) & 0xff);
        same = same && std::abs(a - b) <= 2;
      }
      matching += same ? 1 : 0;
    }
  }
  XDestroyImage(screen);
  return static_cast<double>(matching) / (static_cast<double>(width) * height);
}

// The top-level windows mapped on the display, other than `except`.
std::vector<Window> otherWindows(Display* display, const std::vector<Window>& except) {
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  std::vector<Window> found;
  if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count) == 0)
    return found;
  for (unsigned i = 0; i < count; ++i) {
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, children[i], &attributes) != 0 &&
        attributes.map_state == IsViewable &&
        std::find(except.begin(), except.end(), children[i]) == except.end()) {
      found.push_back(children[i]);
    }
  }
  XFree(children);
  return found;
}

TEST(WindowedHost, AWindowShowsItsDrawingAtItsPlaceOpensTappedLinksAndAsksForNotifications) {
  vx::testing::ScratchFolder work;
  const auto bin = std::filesystem::path(VX_BIN);
  const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin";

  ChildProcess xvfb(VX_XVFB_PATH,
                    {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"},
                    {{"PATH", path}});
  const auto number = xvfb.readLine();
  ASSERT_TRUE(number) << "Xvfb did not start";
  const std::string displayName = ":" + *number;

  std::map<std::string, std::string> env = {
      {"PATH", path},
      {"HOME", work.path().string()},
      {"XDG_DATA_HOME", (work.path() / "data").string()},
      {"XDG_CONFIG_HOME", (work.path() / "config").string()},
      {"XDG_RUNTIME_DIR", (work.path() / "run").string()},
      {"DISPLAY", displayName},
      {"GDK_BACKEND", "x11"},
      {"GSK_RENDERER", "cairo"},
      {"TZ", "UTC"},
      {"LANG", "en_US.UTF-8"},
  };
  std::filesystem::create_directories(work.path() / "run");
  std::filesystem::permissions(work.path() / "run", std::filesystem::perms::owner_all);

  // The desktop's handler for vantorix:// links: writes the link it was given to a file.
  const auto opened = work.path() / "opened.txt";
  std::filesystem::create_directories(work.path() / "data" / "applications");
  std::ofstream(work.path() / "data" / "applications" / "vx-test-open.desktop")
      << "[Desktop Entry]\nType=Application\nName=Open\nExec=/bin/sh -c 'printf %s \"$1\" > "
      << opened.string() << "' sh %u\nMimeType=x-scheme-handler/vantorix;\n";
  std::filesystem::create_directories(work.path() / "config");
  std::ofstream(work.path() / "config" / "mimeapps.list")
      << "[Default Applications]\nx-scheme-handler/vantorix=vx-test-open.desktop\n";

  const auto ready = work.path() / "session.json";
  ChildProcess demo((bin / "demo" / "vantorix-demo-service").string(),
                    {"--port", "0", "--ready-file", ready.string()}, env);
  ASSERT_TRUE(eventually([&] { return !readFile(ready).empty(); }));
  ASSERT_EQ(
      testing::run((bin / "keyferry" / "keyferry").string(), {"save"}, env, readFile(ready)).status,
      0);
  const std::string host = (bin / "desktop" / "vantorix-widget-host").string();
  const auto placed = testing::run(host,
                                   {"place", "--kind", "AllProjectsWidget", "--family",
                                    "systemMedium", "--x", "120", "--y", "60"},
                                   env);
  ASSERT_EQ(placed.status, 0) << placed.error;

  const auto output = work.path() / "out";
  ChildProcess running(host, {"run", "--output", output.string()}, env);
  nlohmann::json record;
  ASSERT_TRUE(eventually([&] {
    const auto index = nlohmann::json::parse(readFile(output / "index.json"), nullptr, false);
    if (!index.is_object() || index["widgets"].empty() || !index["widgets"][0].contains("image"))
      return false;
    record = index["widgets"][0];
    return true;
  }));
  EXPECT_EQ(record.at("scale"), 1.0);  // the virtual monitor's scale

  Display* display = XOpenDisplay(displayName.c_str());
  ASSERT_NE(display, nullptr);
  cairo_surface_t* image =
      cairo_image_surface_create_from_png((output / record.at("image").get<std::string>()).c_str());
  ASSERT_EQ(cairo_surface_status(image), CAIRO_STATUS_SUCCESS);
  EXPECT_TRUE(eventually([&] { return matchingShare(display, image, 120, 60) > 0.99; }))
      << "share of matching pixels: " << matchingShare(display, image, 120, 60);
  // The comparison tells places apart: a few points off, the drawing does not match.
  EXPECT_LT(matchingShare(display, image, 124, 64), 0.99);
  cairo_surface_destroy(image);

  const nlohmann::json& link = record.at("links").at(0);
  const auto& rect = link.at("rect");
  const int x = 120 + static_cast<int>(rect[0].get<double>() + rect[2].get<double>() / 2);
  const int y = 60 + static_cast<int>(rect[1].get<double>() + rect[3].get<double>() / 2);
  XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
  XTestFakeButtonEvent(display, 1, True, CurrentTime);
  XTestFakeButtonEvent(display, 1, False, CurrentTime);
  XFlush(display);
  EXPECT_TRUE(eventually([&] { return readFile(opened) == link.at("url").get<std::string>(); }))
      << "opened: \"" << readFile(opened) << "\", expected " << link.at("url");

  // An authorisation request asks the user with a dialog; the answer is kept.
  const auto socket = work.path() / "run" / "vantorix-widget-host.sock";
  const std::string settings =
      "{\"type\":\"notificationSettings\",\"app\":\"com.vantorix.desktop\"}\n";
  EXPECT_EQ(askLocal(socket, settings), "{\"authorizationStatus\":0}\n");
  const std::vector<Window> before = otherWindows(display, {});
  (void)askLocal(
      socket,
      "{\"type\":\"requestAuthorization\",\"app\":\"com.vantorix.desktop\",\"options\":7}\n");
  std::vector<Window> dialogs;
  ASSERT_TRUE(eventually([&] { return !(dialogs = otherWindows(display, before)).empty(); }));
  EXPECT_EQ(askLocal(socket, settings), "{\"authorizationStatus\":0}\n");  // until the user answers
  // Return takes the dialog's default button, "Allow".
  const KeyCode enter = XKeysymToKeycode(display, XK_Return);
  EXPECT_TRUE(eventually([&] {
    XSetInputFocus(display, dialogs.front(), RevertToPointerRoot, CurrentTime);
    XTestFakeKeyEvent(display, enter, True, CurrentTime);
    XTestFakeKeyEvent(display, enter, False, CurrentTime);
    XSync(display, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    return askLocal(socket, settings) == "{\"authorizationStatus\":2}\n";
  }));
  XCloseDisplay(display);
}

}  // namespace
}  // namespace vx::desktop
