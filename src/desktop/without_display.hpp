#pragma once

#include <algorithm>
#include <chrono>

#include "desktop/host_loop.hpp"
#include "host/timeline.hpp"

namespace vx::desktop {

using host::Instant;

// When a host with nothing to show ends: once no client has been heard from for `kQuiet`.
// Three seconds keep a burst of messages within one run, and a steady trickle of them below the
// service manager's start limit (five starts in ten seconds), past which it would stop starting
// the host altogether.
class QuietEnd {
 public:
  static constexpr std::chrono::seconds kQuiet{3};

  explicit QuietEnd(Instant start) : heard_(start) {}
  // A client was connected, or knocked, at `now`.
  void heard(Instant now) { heard_ = std::max(heard_, now); }
  [[nodiscard]] Instant end() const { return heard_ + kQuiet; }
  [[nodiscard]] bool over(Instant now) const { return now >= end(); }

 private:
  Instant heard_;
};

// Whether the environment names a display to show windows on (X11 or Wayland).
[[nodiscard]] bool displayNamed();

// The windowed host where no display can be opened. Started by the service manager for a
// message on its socket (outside the graphical session), it answers that message and those that
// follow from what is stored, without drawing (a reload has nothing to draw), says once why no
// widget is shown, and ends with status 0 once the socket falls quiet: the socket stays with the
// service manager, and the next message starts a host again, with a display if there is one by
// then. Not started so, it says that there is no display and returns 1.
int runWithoutDisplay(const HostOptions& options);

}  // namespace vx::desktop
