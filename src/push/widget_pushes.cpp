#include "push/widget_pushes.hpp"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

#include "host/bundle.hpp"
#include "host/host_platform.hpp"
#include "net/http_session.hpp"
#include "push/push_reporter.hpp"
#include "push/push_values.hpp"

namespace vx::push {
namespace {

// The work handed over by the host, done one piece at a time on one background thread, in the
// order the host handed it over: a removal of the last widget is never overtaken by the arrival
// that came before it.
//
// Work still running while the process exits would use objects that are being destroyed. So the
// queue finishes its work and joins its thread when it is destroyed, and before it is first
// created it makes every process-wide object the work uses exist: objects of static lifetime are
// destroyed in the reverse order of their creation, so all of those outlive the queue.
class PendingTasks {
 public:
  PendingTasks() {
    (void)net::HttpSession::shared();
    (void)host::Bundle::main();
    (void)host::platform::currentPushToken();
    (void)environment();
    (void)fingerprint("");  // sets up the hashing library, which tears down at exit
    (void)PushReporter::shared();
  }

  PendingTasks(const PendingTasks&) = delete;
  PendingTasks& operator=(const PendingTasks&) = delete;

  ~PendingTasks() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    changed_.notify_all();
    if (worker_.joinable()) worker_.join();
  }

  std::shared_future<void> start(std::string token, std::size_t widgetCount) {
    std::packaged_task<void()> task([token = std::move(token), widgetCount] {
      try {
        PushReporter::shared().tokenChanged(token, widgetCount);
      } catch (...) {
        // Failures stay silent; the next refresh's report retries.
      }
    });
    auto done = task.get_future().share();
    {
      std::lock_guard lock(mutex_);
      queue_.push_back(std::move(task));
      if (!worker_.joinable()) worker_ = std::thread([this] { work(); });
    }
    changed_.notify_all();
    return done;
  }

  void waitForAll() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return queue_.empty() && !busy_; });
  }

 private:
  void work() {
    std::unique_lock lock(mutex_);
    while (true) {
      changed_.wait(lock, [this] { return !queue_.empty() || stopping_; });
      // Work handed over before the end is still done.
      if (queue_.empty()) return;
      auto task = std::move(queue_.front());
      queue_.pop_front();
      busy_ = true;
      lock.unlock();
      task();
      lock.lock();
      busy_ = false;
      changed_.notify_all();
    }
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::packaged_task<void()>> queue_;
  bool busy_ = false;
  bool stopping_ = false;
  std::thread worker_;
};

PendingTasks& pendingTasks() {
  static PendingTasks tasks;
  return tasks;
}

}  // namespace

std::shared_future<void> WidgetPushes::pushTokenDidChange(std::span<const std::uint8_t> token,
                                                          std::size_t widgetCount) {
  return pendingTasks().start(hex(token), widgetCount);
}

void WidgetPushes::waitForPending() {
  pendingTasks().waitForAll();
}

}  // namespace vx::push
