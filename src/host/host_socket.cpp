#include "host/host_socket.hpp"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
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

// Whether `folder` is a directory of this user's own, not a symbolic link, that nobody else may
// enter, list or write to.
bool isPrivateFolder(std::string folder) {
  // A trailing slash would make lstat follow a link in the folder's place.
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  struct stat status {};
  return ::lstat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode) &&
         status.st_uid == ::geteuid() && (status.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

}  // namespace

SocketPlace widgetHostSocketPlace() {
  const char* runtimeDir = std::getenv("XDG_RUNTIME_DIR");
  if (runtimeDir == nullptr || runtimeDir[0] != '/') return {};
  if (!isPrivateFolder(runtimeDir)) {
    return {std::nullopt, std::string("XDG_RUNTIME_DIR ") + runtimeDir +
                              " is not a private folder of this user (their own, not a symbolic "
                              "link, without access for others): no host socket there"};
  }
  std::string path = runtimeDir;
  if (path.back() != '/') path += '/';
  path += kSocketName;
  if (path.size() >= sizeof(sockaddr_un::sun_path)) return {};
  return {path, {}};
}

std::optional<std::string> widgetHostSocketPath() {
  return widgetHostSocketPlace().path;
}

bool peerIsThisUser(int fd) {
  ucred peer{};
  socklen_t size = sizeof peer;
  return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && size == sizeof peer &&
         peer.uid == ::geteuid();
}

HostConnection HostConnection::tryConnect(const std::optional<std::string>& path) {
  if (!path || path->size() >= sizeof(sockaddr_un::sun_path)) return {{}, State::unreachable};
  base::FileDescriptor fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!fd.valid()) return {{}, State::unreachable};

  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path->c_str(), path->size() + 1);
  const bool connected =
      ::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
  if (!connected && errno == EAGAIN) return {std::move(fd), State::busy};
  // A Unix socket's connect has its answer at once, the listener's credentials with it. Anyone
  // who could bind the name first is not the host: nothing is sent to them, nothing taken back.
  const bool host = connected && peerIsThisUser(fd.get());
  return {std::move(fd), host ? State::connected : State::unreachable};
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
    : fd_(std::move(other.fd_)), state_(std::exchange(other.state_, State::unreachable)) {}

HostConnection& HostConnection::operator=(HostConnection&& other) noexcept {
  fd_ = std::move(other.fd_);
  state_ = std::exchange(other.state_, State::unreachable);
  return *this;
}

std::optional<std::size_t> HostConnection::sendNow(std::string_view bytes) {
  if (state_ != State::connected) return std::nullopt;
  for (;;) {
    // MSG_NOSIGNAL: a host that went away must not kill the caller with SIGPIPE.
    const ssize_t sent = ::send(fd_.get(), bytes.data(), bytes.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
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
    const ssize_t got = ::recv(fd_.get(), buffer, sizeof(buffer), MSG_DONTWAIT);
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
    pollfd entry{fd_.get(), events, 0};
    const int ready = ::poll(&entry, 1, millisecondsUntil(deadline));
    if (ready > 0) return true;  // readable, writable, or an error the next call reports
    if (ready == 0) return false;
    if (errno != EINTR) return false;
  }
}

}  // namespace vx::host
