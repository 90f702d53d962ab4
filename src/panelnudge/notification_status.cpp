#include "panelnudge/notification_status.hpp"

#include <memory>
#include <semaphore>

#include "config/build_config.hpp"

namespace vx::panelnudge {

std::string_view statusText(std::int64_t rawStatus) {
  switch (rawStatus) {
    case 0:
      return "undecided";
    case 1:
      return "denied";
    case 2:  // authorised
    case 3:  // provisional
    case 4:  // ephemeral
      return "allowed";
    default:
      return "unknown";
  }
}

void Answer::setStatus(std::string_view text) {
  const std::lock_guard lock(mutex_);
  status_ = text;
}

std::string Answer::status() const {
  const std::lock_guard lock(mutex_);
  return status_;
}

std::string notificationStatus(const SettingsQuery& askSettings,
                               std::chrono::steady_clock::duration wait) {
  // 1. A fresh answer and signal per call. The completion holds its own references, so a late
  //    one writes into an answer nobody reads any more instead of into freed memory.
  auto answer = std::make_shared<Answer>();
  auto answered = std::make_shared<std::counting_semaphore<>>(0);

  // 2. Ask; the completion records the mapped status, then signals.
  askSettings([answer, answered](std::optional<std::int64_t> rawStatus) {
    if (rawStatus) answer->setStatus(statusText(*rawStatus));
    answered->release();
  });

  // 3. Wait until signalled or `wait` has passed, whichever comes first. Which one it was does
  //    not matter: the answer holds "unknown" unless the completion ran.
  (void)answered->try_acquire_for(wait);

  // 4. What the answer holds now; a copy, so a late completion cannot change it.
  return answer->status();
}

std::string notificationStatus() {
  return notificationStatus(
      [](host::SettingsCompletion completion) {
        host::notificationSettings(config::kAppBundleId, std::move(completion));
      },
      kStatusWait);
}

}  // namespace vx::panelnudge
