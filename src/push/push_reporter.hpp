#pragma once

#include <cstddef>
#include <mutex>
#include <string>

namespace vx::push {

// Keeps the service told about the widgets' push token: remembers the token and whether it was
// reported under the current sign-in (in "push.json" of the shared folder), reports it when it
// was not, and withdraws it when the last widget is removed. Driven by the host's push handler
// (`WidgetPushes`) and by the refresh engine after each fresh snapshot it saves.
//
// One call runs at a time, each from its first step to its last, network round trip included.
// Letting a second call in while a request is in flight would let them undo each other: a
// report finishing after the last widget was removed would bring "push.json" back, and a report
// of the old token finishing after a token change would store the old token as reported under
// this sign-in, so the new token would never be sent. A waiting caller is held for at most the
// requests ahead of it (15 s without progress each). Every failure is silent and leaves the
// record so that the next `reportIfNeeded()` tries again.
class PushReporter {
 public:
  [[nodiscard]] static PushReporter& shared();

  PushReporter() = default;
  PushReporter(const PushReporter&) = delete;
  PushReporter& operator=(const PushReporter&) = delete;

  // The host's token (lowercase hex) and the number of widgets that now use push. With no
  // widget left the record is removed and the token withdrawn at the service; otherwise a new
  // token is recorded as unreported and reported.
  void tokenChanged(const std::string& token, std::size_t widgetCount);

  // Reports the recorded token (or, with no record, the host's current one) unless it was
  // already reported under the current session. Does nothing when the host's platform is too
  // old for widget pushes or nobody is signed in.
  void reportIfNeeded();

 private:
  void reportIfNeededLocked();

  std::mutex mutex_;
};

}  // namespace vx::push
