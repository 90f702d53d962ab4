#include "model/clock.hpp"

#include <atomic>
#include <cmath>
#include <cstdint>
#include <limits>

namespace vx::clock {
namespace {

using Ticks = Time::rep;

// Microseconds since 1970 of the pinned instant; kUnpinned when the clock follows the system.
constexpr Ticks kUnpinned = std::numeric_limits<Ticks>::min();
std::atomic<Ticks> pinned{kUnpinned};

Time systemNow() {
  return std::chrono::floor<Time::duration>(std::chrono::system_clock::now());
}

}  // namespace

Time now() {
  const Ticks at = pinned.load(std::memory_order_acquire);
  if (at == kUnpinned) return systemNow();
  return Time(Time::duration(at));
}

void pin(Time at) {
  pinned.store(at.time_since_epoch().count(), std::memory_order_release);
}

void advance(Time::duration by) {
  Ticks at = pinned.load(std::memory_order_acquire);
  while (at != kUnpinned && !pinned.compare_exchange_weak(at, at + by.count())) {
  }
}

void unpin() {
  pinned.store(kUnpinned, std::memory_order_release);
}

bool pinnedAhead() {
  const Ticks at = pinned.load(std::memory_order_acquire);
  return at != kUnpinned && Time(Time::duration(at)) > systemNow();
}

double secondsBetween(Time from, Time to) {
  const Ticks a = from.time_since_epoch().count();
  const Ticks b = to.time_since_epoch().count();
  // Two counts of the same sign are less than the range apart, so their difference is exact;
  // counts of opposite signs may be further apart than the count can hold.
  if ((a < 0) == (b < 0)) return static_cast<double>(b - a) / 1e6;
  return (static_cast<double>(b) - static_cast<double>(a)) / 1e6;
}

Time addSeconds(Time at, double seconds) {
  if (!std::isfinite(seconds)) return at;
  // Any move this long leaves the range whatever the start (the limit is below the largest
  // count, so rounding it to a count cannot overflow either).
  constexpr double kBeyond = 9.2e18;
  const double offset = seconds * 1e6;
  if (offset >= kBeyond) return Time::max();
  if (offset <= -kBeyond) return Time::min();
  const Ticks ticks = std::llround(offset);
  const Ticks start = at.time_since_epoch().count();
  if (ticks > 0 && start > std::numeric_limits<Ticks>::max() - ticks) return Time::max();
  if (ticks < 0 && start < std::numeric_limits<Ticks>::min() - ticks) return Time::min();
  return Time(Time::duration(start + ticks));
}

}  // namespace vx::clock
