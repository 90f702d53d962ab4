// The extension's background executor.

#include <atomic>
#include <future>
#include <mutex>
#include <stdexcept>
#include <vector>

#include <gtest/gtest.h>

#include "base/executor.hpp"

namespace vx::base {
namespace {

TEST(ExecutorTest, OneThreadRunsJobsInTheOrderHandedOver) {
  Executor executor(1);
  std::vector<int> order;  // only the executor's one thread writes it
  for (int i = 0; i < 200; ++i) executor.submit([&order, i] { order.push_back(i); });
  executor.waitUntilIdle();
  ASSERT_EQ(order.size(), 200u);
  for (int i = 0; i < 200; ++i) EXPECT_EQ(order[static_cast<std::size_t>(i)], i);
}

TEST(ExecutorTest, ThrowingJobDoesNotStopTheOnesAfterIt) {
  Executor executor(1);
  std::atomic<int> ran{0};
  executor.submit([] { throw std::runtime_error("job failed"); });
  executor.submit([&ran] { ++ran; });
  executor.waitUntilIdle();
  EXPECT_EQ(ran, 1);
}

TEST(ExecutorTest, FinishRunsEveryQueuedJobAndLaterOnesRunOnTheCaller) {
  std::atomic<int> ran{0};
  Executor executor(3);
  // The first jobs hold every thread, so the rest are still queued when the end comes.
  std::promise<void> go;
  std::shared_future<void> started = go.get_future().share();
  for (int i = 0; i < 3; ++i) {
    executor.submit([started, &ran] {
      started.wait();
      ++ran;
    });
  }
  for (int i = 0; i < 20; ++i) executor.submit([&ran] { ++ran; });
  std::thread ender([&executor] { executor.finish(); });
  go.set_value();
  ender.join();
  EXPECT_EQ(ran, 23);

  const auto caller = std::this_thread::get_id();
  std::thread::id ranOn;
  executor.submit([&ranOn] { ranOn = std::this_thread::get_id(); });
  EXPECT_EQ(ranOn, caller);
}

TEST(ExecutorTest, WaitUntilIdleIncludesJobsHandedOverByJobs) {
  Executor executor(2);
  std::atomic<int> ran{0};
  executor.submit([&] {
    executor.submit([&ran] { ++ran; });
    ++ran;
  });
  executor.waitUntilIdle();
  EXPECT_EQ(ran, 2);
}

}  // namespace
}  // namespace vx::base
