#include "widgets/scratch_release.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace vx::widgets {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Waits (up to five seconds) for `done`; the machine may be slow, never fast.
bool eventually(const std::atomic<int>& count, int wanted) {
  const auto until = Clock::now() + std::chrono::seconds(5);
  while (count.load() < wanted && Clock::now() < until)
    std::this_thread::sleep_for(milliseconds(2));
  return count.load() >= wanted;
}

// Drawings in a row postpone the release; it comes once, and not before the quiet time after
// the last of them.
TEST(ScratchRelease, ComesOnceAQuietTimeAfterTheLastDrawing) {
  std::atomic<int> released{0};
  Clock::time_point releasedAt;
  ScratchRelease release(milliseconds(80), [&] {
    releasedAt = Clock::now();
    ++released;
  });
  Clock::time_point lastDrawing;
  for (int i = 0; i < 5; ++i) {
    lastDrawing = Clock::now();
    release.drew();
    std::this_thread::sleep_for(milliseconds(20));
  }
  ASSERT_TRUE(eventually(released, 1));
  EXPECT_GE(releasedAt - lastDrawing, milliseconds(80));
  std::this_thread::sleep_for(milliseconds(200));
  EXPECT_EQ(released.load(), 1);
  // A later burst is followed by a release of its own.
  release.drew();
  EXPECT_TRUE(eventually(released, 2));
}

// Ending the process does not wait for a release still to come, nor run it.
TEST(ScratchRelease, EndsWithoutWaitingForAPendingRelease) {
  std::atomic<int> released{0};
  const auto started = Clock::now();
  {
    ScratchRelease release(std::chrono::seconds(30), [&] { ++released; });
    release.drew();
  }
  EXPECT_LT(Clock::now() - started, std::chrono::seconds(5));
  EXPECT_EQ(released.load(), 0);
}

}  // namespace
}  // namespace vx::widgets
