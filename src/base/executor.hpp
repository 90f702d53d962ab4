#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace vx::base {

// Background work for the extension: a fixed number of threads taking jobs from one queue in
// the order they were handed over. With one thread, jobs run one after the other in that order,
// which is what work that must not overtake itself needs (the push hand-overs); with several,
// jobs start in that order and run side by side (the requests of the `serve` protocol).
//
// The threads start with the first job, so an executor nobody uses costs nothing. A job that
// throws is its own business: the exception is dropped and the thread goes on with the next job.
class Executor {
 public:
  explicit Executor(std::size_t threads);
  Executor(const Executor&) = delete;
  Executor& operator=(const Executor&) = delete;
  // Runs every job already handed over, then stops the threads (see `finish`).
  ~Executor();

  // Queues a job; returns at once.
  void submit(std::function<void()> job);

  // Returns once every job handed over so far (and any job those hand over) has run.
  void waitUntilIdle();

  // Runs every job already handed over to its end, then stops and joins the threads. A job
  // handed over afterwards runs on the caller's thread. Idempotent.
  void finish();

 private:
  void work();

  const std::size_t threadCount_;
  std::mutex mutex_;
  std::condition_variable jobsOrEnd_;  // a job was queued, or the end came
  std::condition_variable idle_;       // a job finished
  std::deque<std::function<void()>> jobs_;
  std::size_t running_ = 0;
  bool finished_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace vx::base
