#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "store/shared_store.hpp"
#include "temporary_folder.hpp"

namespace vx {
namespace {

// A snapshot large enough that a torn write would be visible: ten projects with long series.
Snapshot bulkySnapshot(std::int64_t generation) {
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
    metrics.visitorsSeries = std::vector<double>(90, static_cast<double>(generation) + 0.5);
    entry.metricsByPeriod["days90"] = metrics;
    snapshot.projects.push_back(entry);
  }
  return snapshot;
}

using ConcurrentReplace = vx::testing::SharedFolderTest;

TEST_F(ConcurrentReplace, ReaderNeverSeesAPartialSnapshotWhileItIsReplaced) {
  constexpr int kWrites = 1000;
  SharedStore::save(bulkySnapshot(0));

  std::atomic<bool> done{false};
  std::atomic<int> reads{0};
  std::atomic<int> torn{0};
  std::thread reader([&] {
    while (!done.load()) {
      auto snapshot = SharedStore::snapshot();
      // Every read must decode and be one whole generation, never a mixture of two.
      if (!snapshot || snapshot->projects.size() != 10 ||
          snapshot->projects.back().realtimeVisitors !=
              snapshot->projects.front().realtimeVisitors ||
          *snapshot != bulkySnapshot(snapshot->projects.front().realtimeVisitors)) {
        ++torn;
      }
      ++reads;
    }
  });
  for (int generation = 1; generation <= kWrites; ++generation) {
    SharedStore::save(bulkySnapshot(generation));
  }
  done = true;
  reader.join();

  EXPECT_EQ(torn.load(), 0) << "out of " << reads.load() << " reads";
  EXPECT_GT(reads.load(), 0);
  EXPECT_EQ(SharedStore::snapshot(), bulkySnapshot(kWrites));
  EXPECT_TRUE(vx::testing::strayFiles(expectedFolder(), "snapshot.json").empty());
}

}  // namespace
}  // namespace vx
