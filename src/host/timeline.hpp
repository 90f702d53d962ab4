#pragma once

#include <chrono>
#include <vector>

namespace vx::host {

// An instant to the microsecond, the extension's unit (nanoseconds would end in 2262).
using Instant = std::chrono::time_point<std::chrono::system_clock, std::chrono::microseconds>;

// When the host should ask a widget for its next timeline: at a fixed moment.
struct TimelineReloadPolicy {
  Instant at;

  [[nodiscard]] static TimelineReloadPolicy after(Instant date) { return {date}; }
  bool operator==(const TimelineReloadPolicy&) const = default;
};

// What a provider hands the host: entries ascending by date, each shown from its date on, and
// the moment to ask again. `Entry` is the kind's own entry record.
template <class Entry>
struct Timeline {
  std::vector<Entry> entries;
  TimelineReloadPolicy policy;
};

}  // namespace vx::host
