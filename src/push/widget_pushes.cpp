#include "push/widget_pushes.hpp"

#include <memory>
#include <string>
#include <utility>

#include "base/executor.hpp"
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
// executor finishes its work and joins its thread when it is destroyed, and before it is first
// created every process-wide object the work uses is made to exist: objects of static lifetime
// are destroyed in the reverse order of their creation, so all of those outlive it.
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

  std::shared_future<void> start(std::string token, std::size_t widgetCount) {
    // std::function needs a copyable job, so the task is held by a shared pointer.
    auto task =
        std::make_shared<std::packaged_task<void()>>([token = std::move(token), widgetCount] {
          try {
            PushReporter::shared().tokenChanged(token, widgetCount);
          } catch (...) {
            // Failures stay silent; the next refresh's report retries.
          }
        });
    auto done = task->get_future().share();
    executor_.submit([task] { (*task)(); });
    return done;
  }

  void waitForAll() { executor_.waitUntilIdle(); }

 private:
  base::Executor executor_{1};
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
