#pragma once

// An HTTP server whose listening queue is as long as the system allows. cpp-httplib listens with
// a backlog of 5: a refresh opens some tens of connections at once, the kernel drops the rest of
// such a burst, and clients try again only a second later. Header only, so that the tests' fake
// service uses the same server without linking the demo service.

#include <sys/socket.h>

#include <httplib.h>

namespace vx::demo {

class WideBacklogServer : public httplib::Server {
 public:
  // Widens the queue of a socket bound with bind_to_port or bind_to_any_port.
  bool widenBacklog() { return svr_sock_ != INVALID_SOCKET && ::listen(svr_sock_, SOMAXCONN) == 0; }
};

}  // namespace vx::demo
