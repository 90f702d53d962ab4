#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>

#include "desktop/notification_permissions.hpp"

namespace vx::desktop {

// The questions to the user whether an application may show notifications: one on screen at a
// time, and never two for the same application. An application waits in line once however often
// it asks, only while its answer could be kept, and is passed over when an answer came for it
// meanwhile (the `notifications` sub-command); the line holds at most the own application and
// `NotificationPermissions::kOtherApplications` others.
class NotificationQuestions {
 public:
  // `show` puts the question for an application on screen; the front end reports the user's
  // response with `answered`.
  NotificationQuestions(NotificationPermissions& permissions,
                        std::function<void(const std::string& app)> show)
      : permissions_(permissions), show_(std::move(show)) {}

  // `app` asks for permission and has no answer yet.
  void ask(const std::string& app);
  // The user responded to the question on screen for `app`: allowed or denied (stored), or
  // nothing when the question was closed unanswered (the application may ask again). The next
  // question in line goes on screen.
  void answered(const std::string& app, std::optional<Authorization> answer);
  [[nodiscard]] const std::optional<std::string>& showing() const { return showing_; }
  [[nodiscard]] std::size_t waiting() const { return line_.size(); }

 private:
  void showNext();

  NotificationPermissions& permissions_;
  std::function<void(const std::string& app)> show_;
  std::optional<std::string> showing_;
  std::deque<std::string> line_;
};

}  // namespace vx::desktop
