#include "push/widget_pushes.hpp"

#include <algorithm>
#include <chrono>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "host/bundle.hpp"
#include "host/host_platform.hpp"
#include "net/http_session.hpp"
#include "push/push_reporter.hpp"
#include "push/push_values.hpp"

namespace vx::push {
namespace {

// The tasks started for the host, kept so that they can be waited for.
//
// A task still running while the process exits would use objects that are being destroyed. So
// the registry waits for its tasks when it is destroyed, and before it is first created it makes
// every process-wide object a task uses exist: objects of static lifetime are destroyed in the
// reverse order of their creation, so all of those outlive the registry's wait.
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

  ~PendingTasks() { waitForAll(); }

  std::shared_future<void> start(std::string token, std::size_t widgetCount) {
    auto task = std::async(std::launch::async, [token = std::move(token), widgetCount] {
                  try {
                    PushReporter::shared().tokenChanged(token, widgetCount);
                  } catch (...) {
                    // Failures stay silent; the next refresh's report retries.
                  }
                }).share();
    std::lock_guard lock(mutex_);
    std::erase_if(tasks_, [](const std::shared_future<void>& pending) {
      return pending.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    });
    tasks_.push_back(task);
    return task;
  }

  void waitForAll() {
    std::vector<std::shared_future<void>> waiting;
    {
      std::lock_guard lock(mutex_);
      waiting.swap(tasks_);
    }
    for (auto& task : waiting) task.wait();
  }

 private:
  std::mutex mutex_;
  std::vector<std::shared_future<void>> tasks_;
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
