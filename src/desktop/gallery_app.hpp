#pragma once

#include <string>

namespace vx::desktop {

// `vantorix-widget-host gallery`: the widget gallery, an ordinary application window showing
// every kind the extension offers in each of its families, drawn by `extension`; choosing one
// places it at a free spot on the monitor the window is on. One gallery per user where a session
// bus is there: a second start presents the first one's window and ends. Runs until the window
// is closed, SIGTERM or SIGINT; returns the exit status.
int runGallery(const std::string& extension);

}  // namespace vx::desktop
