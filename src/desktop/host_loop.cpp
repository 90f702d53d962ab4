#include "desktop/host_loop.hpp"

#include <csignal>
#include <iostream>

#include "desktop/host_core.hpp"

namespace vx::desktop {
namespace {

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) {
  stopRequested = 1;
}

// The longest the loop sleeps: how soon it notices a changed placements file or a stop.
constexpr auto kLongestSleep = std::chrono::milliseconds(500);

}  // namespace

int runHost(const HostOptions& options) {
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGTERM, requestStop);
  std::signal(SIGINT, requestStop);
  try {
    Host host(options);
    host.start();
    while (stopRequested == 0) host.step(kLongestSleep);
    return 0;
  } catch (const std::exception& error) {
    std::cerr << "vantorix-widget-host: " << error.what() << "\n";
    return 1;
  }
}

}  // namespace vx::desktop
