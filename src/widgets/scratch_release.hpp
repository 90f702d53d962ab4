#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>

namespace vx::widgets {

// Gives what drawings leave behind back to the system once they stop for a while: the kept
// band memory, and the freed but still dirty pages of the heap (the encoder's buffers, the
// layout's boxes). Drawings of one burst reuse them instead of faulting fresh pages in; an idle
// extension holds none of them.
class ScratchRelease {
 public:
  // `release` is what is done once drawings stop: by default the band memory and the heap's
  // free pages go back to the system.
  explicit ScratchRelease(std::chrono::milliseconds quiet,
                          std::function<void()> release = releaseScratch);
  ScratchRelease(const ScratchRelease&) = delete;
  ScratchRelease& operator=(const ScratchRelease&) = delete;
  ~ScratchRelease();

  // A drawing ended now: the release waits for `quiet` from here.
  void drew();

 private:
  using Clock = std::chrono::steady_clock;
  static void releaseScratch();
  void run(const std::stop_token& stop);

  const std::chrono::milliseconds quiet_;
  const std::function<void()> release_;
  std::mutex mutex_;
  std::condition_variable_any changed_;
  std::optional<Clock::time_point> due_;
  std::jthread thread_;  // started by the first drawing; last, so it stops first
};

}  // namespace vx::widgets
