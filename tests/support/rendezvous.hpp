#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace vx::testing {

// Lets a scripted answer wait (boundedly) until other requests have arrived, so that a test can
// tell requests that are in flight together from requests made one after another.
class Rendezvous {
 public:
  explicit Rendezvous(int expected) : expected_(expected) {}
  // Counts this arrival; true once `expected` arrivals were seen, false when they never came.
  bool arriveAndWait() {
    std::unique_lock lock(mutex_);
    ++arrived_;
    changed_.notify_all();
    return changed_.wait_for(lock, std::chrono::seconds(10),
                             [this] { return arrived_ >= expected_; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int expected_;
  int arrived_ = 0;
};

}  // namespace vx::testing
