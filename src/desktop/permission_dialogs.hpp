#pragma once

#include <set>
#include <string>

#include "desktop/notification_permissions.hpp"

namespace vx::desktop {

// Asks the user whether an application may show notifications, one dialog per application at a
// time; the answer is stored when the user gives it (closing the dialog answers nothing).
class PermissionDialogs {
 public:
  explicit PermissionDialogs(const NotificationPermissions& permissions)
      : permissions_(permissions) {}

  void ask(const std::string& app);

 private:
  struct Asked {
    PermissionDialogs* dialogs;
    std::string app;
  };
  static void answered(void* dialog, int response, void* data);

  const NotificationPermissions& permissions_;
  std::set<std::string> open_;
};

}  // namespace vx::desktop
