// A widget process that is handed a push token and ends at once, leaving the report to be
// finished on its way out. Arguments: the bundle folder and the token in hex; the shared folder
// comes from the environment as usual.
#include <cstdio>

#include "host/bundle.hpp"
#include "host/host_platform.hpp"
#include "push/widget_pushes.hpp"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: hand_over_then_exit BUNDLE TOKEN-HEX\n", stderr);
    return 2;
  }
  vx::host::Bundle::useLocation(argv[1]);
  auto token = vx::host::platform::decodePushToken(argv[2]);
  if (!token) return 2;
  (void)vx::push::WidgetPushes::pushTokenDidChange(*token, 1);
  return 0;
}
