#include "demo/socket_names.hpp"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace vx::demo {
namespace {

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

}  // namespace

std::optional<Endpoint> localEndpoint(int fd) {
  return nameOf(fd, ::getsockname);
}

std::optional<Endpoint> peerEndpoint(int fd) {
  return nameOf(fd, ::getpeername);
}

}  // namespace vx::demo
