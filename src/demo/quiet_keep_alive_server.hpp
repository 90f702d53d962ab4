#pragma once

// An HTTP server whose kept-alive connections sleep until their client writes again.
// cpp-httplib's own wait between two requests of a connection wakes every 11 ms (a 10 ms poll,
// then a 1 ms sleep): with the seventy connections a refresh keeps, some 6,000 wake-ups a
// second, processor time taken from the client on the same two cores. Here an idle connection
// waits in one poll that wakes only to see whether the server is stopping.

#include "demo/wide_backlog_server.hpp"

namespace vx::demo {

class QuietKeepAliveServer : public WideBacklogServer {
 private:
  bool process_and_close_socket(socket_t sock) override;
};

}  // namespace vx::demo
