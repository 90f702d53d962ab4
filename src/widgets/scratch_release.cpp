#include "widgets/scratch_release.hpp"

#include <malloc.h>

#include <utility>

#include "ui/band_memory.hpp"

namespace vx::widgets {

ScratchRelease::ScratchRelease(std::chrono::milliseconds quiet, std::function<void()> release)
    : quiet_(quiet), release_(std::move(release)) {}

void ScratchRelease::releaseScratch() {
  ui::releaseBandMemory();
  malloc_trim(0);
}

ScratchRelease::~ScratchRelease() {
  if (thread_.joinable()) {
    thread_.request_stop();
    thread_.join();
  }
}

void ScratchRelease::drew() {
  const std::lock_guard lock(mutex_);
  due_ = Clock::now() + quiet_;
  if (!thread_.joinable()) {
    thread_ = std::jthread([this](const std::stop_token& stop) { run(stop); });
  }
  changed_.notify_one();
}

void ScratchRelease::run(const std::stop_token& stop) {
  std::unique_lock lock(mutex_);
  while (!stop.stop_requested()) {
    if (!changed_.wait(lock, stop, [this] { return due_.has_value(); })) return;
    // Each drawing moves the moment on; wait until one passes with no drawing after it.
    const Clock::time_point due = *due_;
    if (changed_.wait_until(lock, stop, due, [&] { return !due_ || *due_ != due; })) continue;
    if (stop.stop_requested()) return;
    due_.reset();
    lock.unlock();
    release_();
    lock.lock();
  }
}

}  // namespace vx::widgets
