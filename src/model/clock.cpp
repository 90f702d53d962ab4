#include "model/clock.hpp"

#include <atomic>
#include <cmath>

namespace vx::clock {
namespace {

// Nanoseconds since 1970 of the pinned instant; kUnpinned when the clock follows the system.
constexpr std::int64_t kUnpinned = INT64_MIN;
std::atomic<std::int64_t> pinned{kUnpinned};

}  // namespace

Time now() {
  std::int64_t at = pinned.load(std::memory_order_acquire);
  if (at == kUnpinned) return std::chrono::system_clock::now();
  return Time(std::chrono::duration_cast<Time::duration>(std::chrono::nanoseconds(at)));
}

void pin(Time at) {
  pinned.store(std::chrono::duration_cast<std::chrono::nanoseconds>(at.time_since_epoch()).count(),
               std::memory_order_release);
}

void advance(std::chrono::nanoseconds by) {
  std::int64_t at = pinned.load(std::memory_order_acquire);
  while (at != kUnpinned && !pinned.compare_exchange_weak(at, at + by.count())) {
  }
}

void unpin() {
  pinned.store(kUnpinned, std::memory_order_release);
}

bool pinnedAhead() {
  const std::int64_t at = pinned.load(std::memory_order_acquire);
  if (at == kUnpinned) return false;
  const auto system = std::chrono::duration_cast<std::chrono::nanoseconds>(
      std::chrono::system_clock::now().time_since_epoch());
  return at > system.count();
}

double secondsBetween(Time from, Time to) {
  return std::chrono::duration<double>(to - from).count();
}

Time addSeconds(Time at, double seconds) {
  return at + std::chrono::duration_cast<Time::duration>(
                  std::chrono::duration<double>(std::isfinite(seconds) ? seconds : 0.0));
}

}  // namespace vx::clock
