#pragma once

#include <cstddef>
#include <cstdint>
#include <future>
#include <span>

namespace vx::push {

// The widgets' push handler: the host calls it with its push token whenever the token or the
// set of widgets using it changes.
class WidgetPushes {
 public:
  // Converts the token to hex and hands it to `PushReporter::shared().tokenChanged` on a
  // background thread; returns at once. Changes are handled one after the other in the order
  // they arrive. The returned future becomes ready when this one is done; callers may wait on it
  // or drop it.
  static std::shared_future<void> pushTokenDidChange(std::span<const std::uint8_t> token,
                                                     std::size_t widgetCount);

  // Waits until every change handed over so far is done. The driver calls it before the process
  // ends, so that no report is cut off half-way; it also happens when the process's static
  // objects are destroyed, should the driver not.
  static void waitForPending();
};

}  // namespace vx::push
