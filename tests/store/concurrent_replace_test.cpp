#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "bulky_files.hpp"
#include "shared_folder_fixture.hpp"
#include "store/shared_store.hpp"

namespace vx {
namespace {

// Short series keep the thousand writes quick; ten projects still make a torn write visible.
constexpr std::size_t kSeriesLength = 90;

Snapshot bulkySnapshot(std::int64_t generation) {
  return testing::bulkySnapshot(generation, kSeriesLength);
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
  EXPECT_TRUE(vx::testing::namesIn(expectedFolder(), "snapshot.json").empty());
}

}  // namespace
}  // namespace vx
