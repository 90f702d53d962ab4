#pragma once

#include <chrono>

namespace vx {

// An instant with sub-second precision (nanoseconds on this platform).
using Time = std::chrono::system_clock::time_point;

// The process clock. Every reading of the current time goes through here, so that tests can
// pin the clock to a chosen instant (and move it) without touching the system's.
namespace clock {

[[nodiscard]] Time now();

// Pins the clock at `at` until `unpin()`; `advance` moves a pinned clock.
void pin(Time at);
void advance(std::chrono::nanoseconds by);
void unpin();

// Whether the clock is pinned at an instant later than the system's current time. Whatever such
// a process dates must stay out of files other processes read: they would take it for current
// until the system's time caught up with it.
[[nodiscard]] bool pinnedAhead();

// Seconds from `from` to `to` as a real number (negative when `to` is earlier).
[[nodiscard]] double secondsBetween(Time from, Time to);
[[nodiscard]] Time addSeconds(Time at, double seconds);

}  // namespace clock
}  // namespace vx
