#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "desktop/kind_catalogue.hpp"
#include "desktop/notification_permissions.hpp"
#include "host/host_socket.hpp"

namespace vx::desktop {

struct HostOptions {
  std::string extension;            // the extension program
  std::filesystem::path folder;     // the host's own folder (placements, permissions)
  std::filesystem::path output;     // headless: where the images and index.json go
  std::string scheme = "light";     // the desktop's appearance
  std::string mode = "full";        // full colour, or "accented" with `tint`
  std::optional<std::string> tint;  // "#RRGGBB", accented mode only
  double scale = 2;                 // pixels per point
  std::string app;                  // the application whose widgets the extension draws
  host::SocketPlace socket;         // no path: no host socket; a refusal: no host
  std::optional<Authorization> unattendedAnswer;
  std::vector<KindInfo> kinds;  // what the extension offers: placements are checked against it
};

// Runs the host until SIGTERM or SIGINT: places the widgets of the placements file (following
// changes to it), keeps their timelines with the extension, draws each entry at its date and
// serves the host socket. Returns the exit status.
int runHost(const HostOptions& options);

}  // namespace vx::desktop
