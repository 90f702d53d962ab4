#pragma once

#include <chrono>
#include <vector>

namespace vx::host {

// When the host should ask a widget for its next timeline: at a fixed moment.
struct TimelineReloadPolicy {
  std::chrono::system_clock::time_point at;

  [[nodiscard]] static TimelineReloadPolicy after(std::chrono::system_clock::time_point date) {
    return {date};
  }
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
