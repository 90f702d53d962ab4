#pragma once

#include <functional>
#include <optional>
#include <string>

#include "desktop/notification_permissions.hpp"

namespace vx::desktop {

// What the host does with the desktop applications' messages on the host socket.
struct HostRequests {
  // The permissions the user gave.
  NotificationPermissions* permissions = nullptr;
  // The answer an authorisation request gets when the application was never asked and nobody is
  // there to ask (headless); nothing leaves it undecided until the user answers on the command
  // line.
  std::optional<Authorization> unattendedAnswer;
  // Asks the user (a desktop dialog, in its turn) whether `app` may show notifications, when
  // nobody answered for it yet and there is no unattended answer; the answer is stored when the
  // user gives it.
  std::function<void(const std::string& app)> askUser;
  // Reloads every widget of `app`.
  std::function<void(const std::string& app)> reload;

  // One request line in, the answer line out: empty for no answer, nothing to close the
  // connection (a line that is not a request this host knows).
  [[nodiscard]] std::optional<std::string> answer(const std::string& line) const;
};

}  // namespace vx::desktop
