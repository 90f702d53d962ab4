#include "demo/connection_reset.hpp"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <charconv>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

namespace vx::demo {
namespace {

struct Endpoint {
  std::string address;
  int port = -1;
};

std::optional<Endpoint> endpointOf(const sockaddr_storage& storage) {
  char text[INET6_ADDRSTRLEN] = {};
  if (storage.ss_family == AF_INET) {
    const auto& in = reinterpret_cast<const sockaddr_in&>(storage);
    if (inet_ntop(AF_INET, &in.sin_addr, text, sizeof text) == nullptr) return std::nullopt;
    return Endpoint{text, ntohs(in.sin_port)};
  }
  if (storage.ss_family == AF_INET6) {
    const auto& in6 = reinterpret_cast<const sockaddr_in6&>(storage);
    if (inet_ntop(AF_INET6, &in6.sin6_addr, text, sizeof text) == nullptr) return std::nullopt;
    return Endpoint{text, ntohs(in6.sin6_port)};
  }
  return std::nullopt;
}

template <typename GetName>
std::optional<Endpoint> nameOf(int fd, GetName get) {
  sockaddr_storage storage{};
  socklen_t length = sizeof storage;
  if (get(fd, reinterpret_cast<sockaddr*>(&storage), &length) != 0) return std::nullopt;
  return endpointOf(storage);
}

// The descriptor of the connection from the request's peer to its local port. The pair of
// ports and the peer's address name one connection; the server does not hand out its socket.
std::optional<int> socketOf(const httplib::Request& req) {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
    const std::string name = entry.path().filename();
    int fd = -1;
    if (std::from_chars(name.data(), name.data() + name.size(), fd).ec != std::errc()) continue;
    const auto local = nameOf(fd, ::getsockname);
    if (!local || local->port != req.local_port) continue;
    const auto peer = nameOf(fd, ::getpeername);
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
