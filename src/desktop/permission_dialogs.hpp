#pragma once

#include <string>

namespace vx::desktop {

class Host;

// Puts the question whether an application may show notifications on screen; the host hands
// over one question at a time and stores the answer (closing the dialog answers nothing).
class PermissionDialogs {
 public:
  explicit PermissionDialogs(Host& host) : host_(host) {}

  void ask(const std::string& app);

 private:
  struct Asked {
    PermissionDialogs* dialogs;
    std::string app;
  };
  static void answered(void* dialog, int response, void* data);

  Host& host_;
};

}  // namespace vx::desktop
