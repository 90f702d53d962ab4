#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "model/snapshot.hpp"
#include "store/shared_store.hpp"

namespace vx::testing {

// A snapshot of ten projects, about a megabyte with the default series length, every figure of
// it holding `generation`: a file that mixes two generations, or stops short, does not read back
// as any one of them.
inline Snapshot bulkySnapshot(std::int64_t generation, std::size_t seriesLength = 5000) {
  Snapshot snapshot;
  snapshot.at = Time(std::chrono::milliseconds(1700000000000 + generation));
  snapshot.projectCount = 10;
  for (int i = 0; i < 10; ++i) {
    ProjectEntry entry;
    entry.name = "site" + std::to_string(i) + ".example";
    entry.slug = "site" + std::to_string(i);
    entry.faviconLetter = "S";
    entry.faviconColor = "#f59e0b";
    entry.realtimeVisitors = generation;
    PeriodMetrics metrics;
    metrics.visitors = generation;
    metrics.visitorsSeries =
        std::vector<double>(seriesLength, static_cast<double>(generation) + 0.25);
    entry.metricsByPeriod["days90"] = metrics;
    snapshot.projects.push_back(entry);
  }
  return snapshot;
}

// A registration of a quarter megabyte, likewise recognisable as one generation.
inline SharedStore::PushRegistration bulkyRegistration(std::int64_t generation) {
  return {std::string(256 * 1024, static_cast<char>('a' + generation % 26)),
          std::to_string(generation)};
}

}  // namespace vx::testing
