#include "demo/connection_reset.hpp"

#include <sys/socket.h>

#include <charconv>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "demo/socket_names.hpp"

namespace vx::demo {
namespace {

// The descriptor of the connection from the request's peer to its local port. The pair of
// ports and the peer's address name one connection; the server does not hand out its socket.
std::optional<int> socketOf(const httplib::Request& req) {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
    const std::string name = entry.path().filename();
    int fd = -1;
    if (std::from_chars(name.data(), name.data() + name.size(), fd).ec != std::errc()) continue;
    const auto local = localEndpoint(fd);
    if (!local || local->port != req.local_port) continue;
    const auto peer = peerEndpoint(fd);
    if (peer && peer->port == req.remote_port && peer->address == req.remote_addr) return fd;
  }
  return std::nullopt;
}

}  // namespace

bool resetConnection(const httplib::Request& req) {
  const auto fd = socketOf(req);
  if (!fd) return false;
  // Dissolving an established TCP connection (connect to AF_UNSPEC) sends a reset and keeps
  // the descriptor, which still belongs to the server, open.
  sockaddr unspecified{};
  unspecified.sa_family = AF_UNSPEC;
  return ::connect(*fd, &unspecified, sizeof unspecified) == 0;
}

}  // namespace vx::demo
