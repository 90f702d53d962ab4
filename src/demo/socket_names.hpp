#pragma once

// The numeric address and port at either end of a connected socket.

#include <optional>
#include <string>

namespace vx::demo {

struct Endpoint {
  std::string address;  // numeric: "127.0.0.1", "::1"
  int port = -1;
};

std::optional<Endpoint> localEndpoint(int fd);
std::optional<Endpoint> peerEndpoint(int fd);

}  // namespace vx::demo
