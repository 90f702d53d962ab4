#include "desktop/socket_server.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string_view>
#include <utility>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "host/host_socket.hpp"

namespace vx::desktop {
namespace {

sockaddr_un addressOf(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) throw std::runtime_error("socket path too long");
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return address;
}

bool someoneListens(const sockaddr_un& address) {
  const int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (probe < 0) return false;
  const bool listening =
      ::connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 ||
      errno == EAGAIN;
  ::close(probe);
  return listening;
}

}  // namespace

SocketServer SocketServer::listenAt(const std::string& path) {
  const sockaddr_un address = addressOf(path);
  if (someoneListens(address)) throw std::runtime_error("another host listens on " + path);
  ::unlink(path.c_str());  // a stale socket left by a host that ended without cleaning up
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) throw std::runtime_error("cannot make a socket");
  const mode_t previous = ::umask(0077);  // the socket is the user's alone
  const int bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  ::umask(previous);
  if (bound != 0 || ::listen(fd, 128) != 0) {
    const std::string reason = std::strerror(errno);
    ::close(fd);
    throw std::runtime_error("cannot listen on " + path + ": " + reason);
  }
  return SocketServer(fd, path);
}

SocketServer SocketServer::adopt(int fd) {
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
  ::fcntl(fd, F_SETFD, FD_CLOEXEC);
  return SocketServer(fd, {});
}

SocketServer::SocketServer(SocketServer&& other) noexcept
    : listener_(std::exchange(other.listener_, -1)),
      path_(std::exchange(other.path_, {})),
      clients_(std::exchange(other.clients_, {})) {}

SocketServer::~SocketServer() {
  for (Client& client : clients_) ::close(client.fd);
  if (listener_ >= 0) ::close(listener_);
  if (!path_.empty()) ::unlink(path_.c_str());
}

void SocketServer::addPollFds(std::vector<pollfd>& fds) const {
  fds.push_back({listener_, POLLIN, 0});
  for (const Client& client : clients_) {
    fds.push_back({client.fd, static_cast<short>(client.output.empty() ? POLLIN : POLLOUT), 0});
  }
}

void SocketServer::accept(Instant now) {
  while (true) {
    const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) return;  // nothing more waiting (or a client that gave up already)
    // Requests come from the user's own programs only; another user's are neither read nor
    // answered, nor do they take a place from the user's.
    if (!host::peerIsThisUser(fd)) {
      ::close(fd);
      continue;
    }
    if (clients_.size() >= kMostConnections) {
      ::close(clients_.front().fd);
      clients_.erase(clients_.begin());
    }
    clients_.push_back({fd, now + kConnectionPatience, {}, {}, false});
  }
}

bool SocketServer::read(Client& client, const Handler& handler) {
  char buffer[4096];
  while (!client.answered) {
    const ssize_t got = ::recv(client.fd, buffer, sizeof buffer, 0);
    if (got < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    if (got == 0) {
      // The client closed: a last line without its newline still counts.
      if (!client.input.empty()) (void)handler(client.input);
      return false;
    }
    client.input.append(buffer, static_cast<std::size_t>(got));
    const std::size_t end = client.input.find('\n');
    if (end == std::string::npos) {
      if (client.input.size() > kLongestRequest) return false;
      continue;
    }
    if (end > kLongestRequest) return false;
    const std::optional<std::string> answer = handler(client.input.substr(0, end));
    client.answered = true;
    if (!answer || answer->empty()) return false;
    client.output = *answer + "\n";
  }
  return write(client);
}

bool SocketServer::write(Client& client) {
  while (!client.output.empty()) {
    const ssize_t sent =
        ::send(client.fd, client.output.data(), client.output.size(), MSG_NOSIGNAL);
    if (sent < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    client.output.erase(0, static_cast<std::size_t>(sent));
  }
  return false;  // answered in full: the connection is done
}

void SocketServer::service(Instant now, const Handler& handler) {
  accept(now);
  for (auto it = clients_.begin(); it != clients_.end();) {
    const bool keep = it->deadline > now && (it->answered ? write(*it) : read(*it, handler));
    if (keep) {
      ++it;
    } else {
      ::close(it->fd);
      it = clients_.erase(it);
    }
  }
}

std::optional<Instant> SocketServer::nextWake() const {
  std::optional<Instant> next;
  for (const Client& client : clients_) {
    if (!next || client.deadline < *next) next = client.deadline;
  }
  return next;
}

std::optional<int> activatedSocket() {
  const char* pid = std::getenv("LISTEN_PID");
  const char* fds = std::getenv("LISTEN_FDS");
  if (pid == nullptr || fds == nullptr) return std::nullopt;
  if (std::strtol(pid, nullptr, 10) != static_cast<long>(::getpid())) return std::nullopt;
  if (std::strtol(fds, nullptr, 10) < 1) return std::nullopt;
  ::unsetenv("LISTEN_PID");
  ::unsetenv("LISTEN_FDS");
  ::unsetenv("LISTEN_FDNAMES");
  return 3;  // SD_LISTEN_FDS_START
}

}  // namespace vx::desktop
