#include "desktop/stop_signals.hpp"

#include <csignal>

namespace vx::desktop {
namespace {

volatile std::sig_atomic_t requested = 0;

void requestStop(int) {
  requested = 1;
}

}  // namespace

void stopOnSignals() {
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGTERM, requestStop);
  std::signal(SIGINT, requestStop);
}

bool stopRequested() {
  return requested != 0;
}

}  // namespace vx::desktop
