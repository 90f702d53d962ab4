#include "desktop/host_loop.hpp"

#include <iostream>

#include "desktop/host_core.hpp"
#include "desktop/stop_signals.hpp"

namespace vx::desktop {
namespace {

// The longest the loop sleeps: how soon it notices a changed placements file or a stop.
constexpr auto kLongestSleep = std::chrono::milliseconds(500);

}  // namespace

int runHost(const HostOptions& options) {
  stopOnSignals();
  try {
    Host host(options);
    host.start();
    while (!stopRequested()) host.step(kLongestSleep);
    return 0;
  } catch (const std::exception& error) {
    std::cerr << "vantorix-widget-host: " << error.what() << "\n";
    return 1;
  }
}

}  // namespace vx::desktop
