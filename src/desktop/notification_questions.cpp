#include "desktop/notification_questions.hpp"

#include <algorithm>
#include <iostream>

namespace vx::desktop {

void NotificationQuestions::ask(const std::string& app) {
  if (!permissions_.keeps(app) || showing_ == app ||
      std::find(line_.begin(), line_.end(), app) != line_.end()) {
    return;
  }
  if (line_.size() >= NotificationPermissions::kOtherApplications && app != permissions_.ownApp()) {
    return;
  }
  line_.push_back(app);
  if (!showing_) showNext();
}

void NotificationQuestions::answered(const std::string& app, std::optional<Authorization> answer) {
  if (showing_ != app) return;
  showing_.reset();
  if (answer) {
    try {
      permissions_.store(app, *answer);
    } catch (const std::exception& error) {
      std::cerr << "vantorix-widget-host: " << error.what() << "\n";
    }
  }
  showNext();
}

void NotificationQuestions::showNext() {
  permissions_.follow();
  while (!line_.empty()) {
    std::string app = std::move(line_.front());
    line_.pop_front();
    if (permissions_.status(app) != Authorization::notDetermined) continue;
    showing_ = app;
    show_(app);
    return;
  }
}

}  // namespace vx::desktop
