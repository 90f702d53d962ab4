#include "base/executor.hpp"

#include <algorithm>
#include <utility>

namespace vx::base {

Executor::Executor(std::size_t threads) : threadCount_(std::max<std::size_t>(threads, 1)) {}

Executor::~Executor() {
  finish();
}

void Executor::submit(std::function<void()> job) {
  {
    std::lock_guard lock(mutex_);
    if (!finished_) {
      jobs_.push_back(std::move(job));
      if (threads_.empty()) {
        threads_.reserve(threadCount_);
        for (std::size_t i = 0; i < threadCount_; ++i) threads_.emplace_back([this] { work(); });
      }
      jobsOrEnd_.notify_one();
      return;
    }
  }
  // After the end nobody is left to take it: the caller does the work itself, so a job is never
  // silently lost.
  try {
    job();
  } catch (...) {
  }
}

void Executor::waitUntilIdle() {
  std::unique_lock lock(mutex_);
  idle_.wait(lock, [this] { return jobs_.empty() && running_ == 0; });
}

void Executor::finish() {
  std::vector<std::thread> threads;
  {
    std::lock_guard lock(mutex_);
    finished_ = true;
    threads.swap(threads_);
  }
  jobsOrEnd_.notify_all();
  for (std::thread& thread : threads) {
    if (thread.joinable()) thread.join();
  }
}

void Executor::work() {
  std::unique_lock lock(mutex_);
  while (true) {
    jobsOrEnd_.wait(lock, [this] { return !jobs_.empty() || finished_; });
    // Jobs handed over before the end still run.
    if (jobs_.empty()) return;
    std::function<void()> job = std::move(jobs_.front());
    jobs_.pop_front();
    ++running_;
    lock.unlock();
    try {
      job();
    } catch (...) {
    }
    job = nullptr;  // whatever the job holds is released before it counts as done
    lock.lock();
    --running_;
    idle_.notify_all();
  }
}

}  // namespace vx::base
