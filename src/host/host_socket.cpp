#include "host/host_socket.hpp"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <utility>

namespace vx::host {
namespace {

constexpr const char* kSocketName = "vantorix-widget-host.sock";
// How long to wait between two attempts to reach a busy host.
constexpr auto kBusyRetryInterval = std::chrono::milliseconds(10);

// Milliseconds left until `deadline`, for poll(2): never negative, rounded up so that a wait
// does not end just short of its deadline.
int millisecondsUntil(Deadline deadline) {
  const auto left = deadline - std::chrono::steady_clock::now();
  if (left <= std::chrono::steady_clock::duration::zero()) return 0;
  return static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(left).count());
}

}  // namespace

std::optional<std::string> widgetHostSocketPath() {
  const char* runtimeDir = std::getenv("XDG_RUNTIME_DIR");
  if (runtimeDir == nullptr || runtimeDir[0] != '/') return std::nullopt;
  std::string path = runtimeDir;
  if (path.back() != '/') path += '/';
  path += kSocketName;
  if (path.size() >= sizeof(sockaddr_un::sun_path)) return std::nullopt;
  return path;
}

HostConnection HostConnection::tryConnect(const std::optional<std::string>& path) {
  if (!path || path->size() >= sizeof(sockaddr_un::sun_path)) return {-1, State::unreachable};
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return {-1, State::unreachable};
  HostConnection connection(fd, State::connected);

  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path->c_str(), path->size() + 1);
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0) {
    return connection;
  }
  switch (errno) {
    case EINPROGRESS:
    case EINTR:
      // The connection completes in the background; the first send waits for it.
      return connection;
    case EAGAIN:
      connection.state_ = State::busy;
      return connection;
    default:
      connection.state_ = State::unreachable;
      return connection;
  }
}

HostConnection HostConnection::connect(const std::optional<std::string>& path, Deadline deadline) {
  for (;;) {
    HostConnection connection = tryConnect(path);
    if (connection.state() != State::busy) return connection;
    if (std::chrono::steady_clock::now() + kBusyRetryInterval >= deadline) return connection;
    std::this_thread::sleep_for(kBusyRetryInterval);
  }
}

HostConnection::HostConnection(HostConnection&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), state_(std::exchange(other.state_, State::unreachable)) {}

HostConnection& HostConnection::operator=(HostConnection&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = std::exchange(other.fd_, -1);
    state_ = std::exchange(other.state_, State::unreachable);
  }
  return *this;
}

HostConnection::~HostConnection() {
  if (fd_ >= 0) ::close(fd_);
}

std::optional<std::size_t> HostConnection::sendNow(std::string_view bytes) {
  if (state_ != State::connected) return std::nullopt;
  for (;;) {
    // MSG_NOSIGNAL: a host that went away must not kill the caller with SIGPIPE.
    const ssize_t sent = ::send(fd_, bytes.data(), bytes.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
    if (sent >= 0) return static_cast<std::size_t>(sent);
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) return 0;
    return std::nullopt;
  }
}

bool HostConnection::sendAll(std::string_view bytes, Deadline deadline) {
  while (!bytes.empty()) {
    const auto sent = sendNow(bytes);
    if (!sent) return false;
    bytes.remove_prefix(*sent);
    if (*sent == 0 && !waitFor(POLLOUT, deadline)) return false;
  }
  return true;
}

std::optional<std::string> HostConnection::readLine(Deadline deadline, std::size_t limit) {
  if (state_ != State::connected) return std::nullopt;
  std::string line;
  char buffer[512];
  for (;;) {
    const ssize_t got = ::recv(fd_, buffer, sizeof(buffer), MSG_DONTWAIT);
    if (got > 0) {
      line.append(buffer, static_cast<std::size_t>(got));
      if (const auto end = line.find('\n'); end != std::string::npos) {
        if (end > limit) return std::nullopt;
        line.resize(end);
        return line;
      }
      if (line.size() > limit) return std::nullopt;
      continue;
    }
    if (got == 0) return line.empty() ? std::nullopt : std::optional<std::string>(line);
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) return std::nullopt;
    if (!waitFor(POLLIN, deadline)) return std::nullopt;
  }
}

bool HostConnection::waitFor(short events, Deadline deadline) const {
  for (;;) {
    pollfd entry{fd_, events, 0};
    const int ready = ::poll(&entry, 1, millisecondsUntil(deadline));
    if (ready > 0) return true;  // readable, writable, or an error the next call reports
    if (ready == 0) return false;
    if (errno != EINTR) return false;
  }
}

}  // namespace vx::host
