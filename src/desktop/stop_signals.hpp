#pragma once

namespace vx::desktop {

// SIGTERM and SIGINT ask the host's loop to end (it looks between steps); SIGPIPE is ignored, so
// a client gone mid-answer is a failed write, not the end of the host.
void stopOnSignals();
[[nodiscard]] bool stopRequested();

}  // namespace vx::desktop
