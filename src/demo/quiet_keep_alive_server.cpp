#include "demo/quiet_keep_alive_server.hpp"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>

#include "demo/socket_names.hpp"

namespace vx::demo {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::microseconds;
using std::chrono::milliseconds;

// How often an idle connection looks whether the server was stopped: stop() waits for every
// connection's thread.
constexpr milliseconds kStopCheck{100};

// Waits until `fd` has one of `events` (or a hang-up or error) or `timeout` passes: > 0 when
// it has, 0 when the time ran out, < 0 on failure.
int waitFor(int fd, short events, microseconds timeout) {
  pollfd entry{fd, events, 0};
  const auto ms = std::chrono::ceil<milliseconds>(timeout).count();
  int ready = 0;
  do {
    ready = ::poll(&entry, 1, static_cast<int>(std::max<decltype(ms)>(ms, 0)));
  } while (ready < 0 && errno == EINTR);
  return ready;
}

// One connection's bytes, read ahead in blocks (the library reads a request line byte by byte)
// and kept from one request to the next.
class ConnectionStream final : public httplib::Stream {
 public:
  ConnectionStream(int fd, microseconds readTimeout, microseconds writeTimeout)
      : fd_(fd), readTimeout_(readTimeout), writeTimeout_(writeTimeout) {}

  bool buffered() const { return offset_ < filled_; }

  bool is_readable() const override { return buffered() || waitFor(fd_, POLLIN, readTimeout_) > 0; }
  // Writable, and not closed by the client: an answer streamed slowly stops once it has left.
  bool is_writable() const override {
    return waitFor(fd_, POLLOUT, writeTimeout_) > 0 && clientStillThere();
  }

  ssize_t read(char* ptr, size_t size) override {
    if (!buffered()) {
      if (!is_readable()) return -1;
      ssize_t got = 0;
      do {
        got = ::recv(fd_, buffer_.data(), buffer_.size(), 0);
      } while (got < 0 && errno == EINTR);
      if (got <= 0) return got;
      offset_ = 0;
      filled_ = static_cast<size_t>(got);
    }
    const auto count = std::min(size, filled_ - offset_);
    std::memcpy(ptr, buffer_.data() + offset_, count);
    offset_ += count;
    return static_cast<ssize_t>(count);
  }

  ssize_t write(const char* ptr, size_t size) override {
    if (!is_writable()) return -1;
    ssize_t sent = 0;
    do {
      sent = ::send(fd_, ptr, size, MSG_NOSIGNAL);
    } while (sent < 0 && errno == EINTR);
    return sent;
  }

  void get_remote_ip_and_port(std::string& ip, int& port) const override {
    copy(peerEndpoint(fd_), ip, port);
  }
  void get_local_ip_and_port(std::string& ip, int& port) const override {
    copy(localEndpoint(fd_), ip, port);
  }
  socket_t socket() const override { return fd_; }

 private:
  // Bytes waiting, or none, are a client still there; a read that finds the end is one gone.
  bool clientStillThere() const {
    if (waitFor(fd_, POLLIN, microseconds(0)) == 0) return true;
    char byte = 0;
    const auto peeked = ::recv(fd_, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    return peeked > 0 || (peeked < 0 && (errno == EAGAIN || errno == EINTR));
  }

  static void copy(const std::optional<Endpoint>& end, std::string& ip, int& port) {
    if (!end) return;
    ip = end->address;
    port = end->port;
  }

  int fd_;
  microseconds readTimeout_;
  microseconds writeTimeout_;
  std::array<char, 4096> buffer_{};
  size_t offset_ = 0;
  size_t filled_ = 0;
};

// Waits for the next request of a kept connection: true once it has bytes to read (or the
// client hung up, which reading tells), false after `keepAlive` of silence or once the server
// stops.
bool awaitNextRequest(const ConnectionStream& stream, const std::atomic<socket_t>& listening,
                      microseconds keepAlive) {
  if (stream.buffered()) return true;
  const auto deadline = Clock::now() + keepAlive;
  while (listening != INVALID_SOCKET) {
    const auto left = std::chrono::duration_cast<microseconds>(deadline - Clock::now());
    if (left.count() <= 0) return false;
    const int ready = waitFor(stream.socket(), POLLIN, std::min<microseconds>(left, kStopCheck));
    if (ready != 0) return ready > 0;
  }
  return false;
}

}  // namespace

bool QuietKeepAliveServer::process_and_close_socket(socket_t sock) {
  const microseconds readTimeout =
      std::chrono::seconds(read_timeout_sec_) + microseconds(read_timeout_usec_);
  const microseconds writeTimeout =
      std::chrono::seconds(write_timeout_sec_) + microseconds(write_timeout_usec_);
  ConnectionStream stream(sock, readTimeout, writeTimeout);
  bool served = false;
  for (auto left = keep_alive_max_count_;
       left > 0 &&
       awaitNextRequest(stream, svr_sock_, std::chrono::seconds(keep_alive_timeout_sec_));
       --left) {
    bool closed = false;
    served = process_request(stream, left == 1, closed, nullptr);
    if (!served || closed) break;
  }
  ::shutdown(sock, SHUT_RDWR);
  ::close(sock);
  return served;
}

}  // namespace vx::demo
