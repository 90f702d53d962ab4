#include "desktop/window_system.hpp"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include <gtk-layer-shell/gtk-layer-shell.h>
#include <gtk/gtk.h>
#ifdef GDK_WINDOWING_WAYLAND
#include <gdk/gdkwayland.h>
#endif
#ifdef GDK_WINDOWING_X11
#include <gdk/gdkx.h>
#endif

namespace vx::desktop {
namespace {

constexpr const char* kProgram = "vantorix-widget-host";

void say(const std::string& what) {
  std::cerr << kProgram << ": " << what << "\n";
}

// The program's own command line, as it was started.
std::vector<std::string> ownArguments() {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  const std::string all{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::vector<std::string> arguments;
  std::string::size_type start = 0;
  while (start < all.size()) {
    const auto end = all.find('\0', start);
    arguments.push_back(all.substr(start, end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return arguments;
}

// Starts this program again on X11; returns only when it cannot.
void restartOnX11() {
  std::vector<std::string> arguments = ownArguments();
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  if (arguments.empty()) return;
  ::setenv("GDK_BACKEND", "x11", 1);
  ::execv("/proc/self/exe", argv.data());
  say(std::string("cannot start again on X11: ") + std::strerror(errno));
  ::unsetenv("GDK_BACKEND");
}

}  // namespace

std::optional<WindowSystem> openWindowSystem() {
  // The WM_CLASS (X11) and application id (Wayland) that desktop rules can match.
  g_set_prgname(kProgram);
  if (!gtk_init_check(nullptr, nullptr)) return std::nullopt;
  gdk_set_program_class(kProgram);  // after GTK's start, which sets a capitalised one
  GdkDisplay* display = gdk_display_get_default();
#ifdef GDK_WINDOWING_WAYLAND
  if (GDK_IS_WAYLAND_DISPLAY(display)) {
    if (gtk_layer_is_supported()) {
      say("widgets are layer-shell surfaces on the bottom layer (Wayland)");
      return WindowSystem::layerShell;
    }
    const char* x = std::getenv("DISPLAY");
    if (x != nullptr && *x != '\0') {
      say("the compositor offers no layer-shell; starting again with X11 windows through "
          "Xwayland");
      restartOnX11();
    }
    say("the compositor offers no layer-shell and no X server is there: widgets are ordinary "
        "windows, placed by the compositor");
    return WindowSystem::unplaced;
  }
#endif
#ifdef GDK_WINDOWING_X11
  if (GDK_IS_X11_DISPLAY(display)) {
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    say(wayland != nullptr && *wayland != '\0' ? "widgets are X11 windows through Xwayland"
                                               : "widgets are X11 windows");
    return WindowSystem::x11;
  }
#endif
  say("widgets are ordinary windows, placed by the display");
  return WindowSystem::unplaced;
}

}  // namespace vx::desktop
