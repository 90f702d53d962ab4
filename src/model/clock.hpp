#pragma once

#include <chrono>

namespace vx {

// An instant to the microsecond. Sixty-four bits of microseconds reach some 292,000 years either
// side of 1970, so every date a stamp or a snapshot can name is held, and the difference of two
// dates from years 1 to 9999 fits with room to spare. (Nanoseconds, the system clock's own unit,
// end in 1677 and 2262, and their differences overflow within a few centuries.)
using Time = std::chrono::time_point<std::chrono::system_clock, std::chrono::microseconds>;

// The process clock. Every reading of the current time goes through here, so that tests can
// pin the clock to a chosen instant (and move it) without touching the system's.
namespace clock {

[[nodiscard]] Time now();

// Pins the clock at `at` until `unpin()`; `advance` moves a pinned clock.
void pin(Time at);
void advance(Time::duration by);
void unpin();

// Whether the clock is pinned at an instant later than the system's current time. Whatever such
// a process dates must stay out of files other processes read: they would take it for current
// until the system's time caught up with it.
[[nodiscard]] bool pinnedAhead();

// Seconds from `from` to `to` as a real number (negative when `to` is earlier), for any two
// instants: never overflows.
[[nodiscard]] double secondsBetween(Time from, Time to);
// `at` moved by `seconds`; a move past the first or last instant stops there, and a move by a
// value that is not a number does not move.
[[nodiscard]] Time addSeconds(Time at, double seconds);

}  // namespace clock
}  // namespace vx
