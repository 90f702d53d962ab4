#include "desktop/without_display.hpp"

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <vector>

#include <poll.h>

#include "desktop/host_requests.hpp"
#include "desktop/notification_permissions.hpp"
#include "desktop/socket_server.hpp"
#include "desktop/stop_signals.hpp"
#include "model/clock.hpp"

namespace vx::desktop {
namespace {

// The longest a wait lasts: how soon a stop or a changed permissions file is noticed.
constexpr auto kLongestSleep = std::chrono::milliseconds(500);

bool named(const char* variable) {
  const char* value = std::getenv(variable);
  return value != nullptr && *value != '\0';
}

// Waits until a client knocks or something is due; true when something is ready.
bool waitForClients(const SocketServer& server, Instant until) {
  auto timeout = std::chrono::ceil<std::chrono::milliseconds>(until - clock::now());
  timeout = std::clamp(timeout, std::chrono::milliseconds(0), kLongestSleep);
  std::vector<pollfd> fds;
  server.addPollFds(fds);
  return ::poll(fds.data(), fds.size(), static_cast<int>(timeout.count())) > 0;
}

void serveUntilQuiet(SocketServer& server, const HostOptions& options) {
  NotificationPermissions permissions(notificationsFile(options.folder), options.app);
  HostRequests requests;
  requests.permissions = &permissions;
  requests.unattendedAnswer = options.unattendedAnswer;
  QuietEnd quiet(clock::now());
  while (!stopRequested() && !quiet.over(clock::now())) {
    Instant until = quiet.end();
    if (const auto wake = server.nextWake()) until = std::min(until, *wake);
    const bool knocked = waitForClients(server, until);
    const Instant now = clock::now();
    if (knocked || server.connections() > 0) quiet.heard(now);
    permissions.follow();
    server.service(now, [&requests](const std::string& line) { return requests.answer(line); });
  }
}

}  // namespace

bool displayNamed() {
  return named("DISPLAY") || named("WAYLAND_DISPLAY");
}

int runWithoutDisplay(const HostOptions& options) {
  auto handedOver = activatedSocket();
  if (!handedOver) {
    std::cerr << "vantorix-widget-host: no display to show widgets on (use --headless)\n";
    return 1;
  }
  std::cerr << "vantorix-widget-host: no display to show widgets on (outside the graphical "
               "session?): answering the socket's messages, no widget is shown\n";
  stopOnSignals();
  try {
    SocketServer server = SocketServer::adopt(std::move(*handedOver));
    serveUntilQuiet(server, options);
    return 0;
  } catch (const std::exception& error) {
    std::cerr << "vantorix-widget-host: " << error.what() << "\n";
    return 1;
  }
}

}  // namespace vx::desktop
