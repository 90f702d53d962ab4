#include "desktop/socket_server.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string_view>
#include <system_error>
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
  const base::FileDescriptor probe(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  return probe.valid() && (::connect(probe.get(), reinterpret_cast<const sockaddr*>(&address),
                                     sizeof address) == 0 ||
                           errno == EAGAIN);
}

}  // namespace

SocketServer SocketServer::listenAt(const std::string& path) {
  const sockaddr_un address = addressOf(path);
  if (someoneListens(address)) throw std::runtime_error("another host listens on " + path);
  ::unlink(path.c_str());  // a stale socket left by a host that ended without cleaning up
  base::FileDescriptor listener(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  if (!listener.valid()) {
    throw std::system_error(errno, std::generic_category(), "cannot make a socket");
  }
  const mode_t previous = ::umask(0077);  // the socket is the user's alone
  const int bound =
      ::bind(listener.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address);
  ::umask(previous);
  if (bound != 0 || ::listen(listener.get(), 128) != 0) {
    throw std::system_error(errno, std::generic_category(), "cannot listen on " + path);
  }
  return SocketServer(std::move(listener), path);
}

SocketServer SocketServer::adopt(base::FileDescriptor listener) {
  ::fcntl(listener.get(), F_SETFL, ::fcntl(listener.get(), F_GETFL) | O_NONBLOCK);
  ::fcntl(listener.get(), F_SETFD, FD_CLOEXEC);
  return SocketServer(std::move(listener), {});
}

SocketServer::SocketServer(SocketServer&& other) noexcept
    : listener_(std::move(other.listener_)),
      path_(std::exchange(other.path_, {})),
      clients_(std::move(other.clients_)) {}

SocketServer::~SocketServer() {
  if (!path_.empty()) ::unlink(path_.c_str());
}

void SocketServer::addPollFds(std::vector<pollfd>& fds) const {
  fds.push_back({listener_.get(), POLLIN, 0});
  for (const Client& client : clients_) {
    fds.push_back(
        {client.fd.get(), static_cast<short>(client.output.empty() ? POLLIN : POLLOUT), 0});
  }
}

void SocketServer::accept(Instant now) {
  while (true) {
    base::FileDescriptor fd(
        ::accept4(listener_.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
    if (!fd.valid()) return;  // nothing more waiting (or a client that gave up already)
    // Requests come from the user's own programs only; another user's are neither read nor
    // answered, nor do they take a place from the user's.
    if (!host::peerIsThisUser(fd.get())) continue;
    if (clients_.size() >= kMostConnections) clients_.erase(clients_.begin());
    clients_.push_back({std::move(fd), now + kConnectionPatience, {}, {}, false});
  }
}

bool SocketServer::read(Client& client, const Handler& handler) {
  char buffer[4096];
  while (!client.answered) {
    const ssize_t got = ::recv(client.fd.get(), buffer, sizeof buffer, 0);
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
        ::send(client.fd.get(), client.output.data(), client.output.size(), MSG_NOSIGNAL);
    if (sent < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    client.output.erase(0, static_cast<std::size_t>(sent));
  }
  return false;  // answered in full: the connection is done
}

void SocketServer::service(Instant now, const Handler& handler) {
  accept(now);
  for (auto it = clients_.begin(); it != clients_.end();) {
    const bool keep = it->deadline > now && (it->answered ? write(*it) : read(*it, handler));
    it = keep ? std::next(it) : clients_.erase(it);
  }
}

std::optional<Instant> SocketServer::nextWake() const {
  std::optional<Instant> next;
  for (const Client& client : clients_) {
    if (!next || client.deadline < *next) next = client.deadline;
  }
  return next;
}

bool socketHandedOver() {
  const char* pid = std::getenv("LISTEN_PID");
  const char* fds = std::getenv("LISTEN_FDS");
  return pid != nullptr && fds != nullptr &&
         std::strtol(pid, nullptr, 10) == static_cast<long>(::getpid()) &&
         std::strtol(fds, nullptr, 10) >= 1;
}

bool someoneListensOn(const std::string& path) {
  return someoneListens(addressOf(path));
}

std::optional<base::FileDescriptor> activatedSocket() {
  if (!socketHandedOver()) return std::nullopt;
  ::unsetenv("LISTEN_PID");
  ::unsetenv("LISTEN_FDS");
  ::unsetenv("LISTEN_FDNAMES");
  return base::FileDescriptor(3);  // SD_LISTEN_FDS_START
}

}  // namespace vx::desktop
