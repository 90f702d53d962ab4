#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vx::host {

using Deadline = std::chrono::steady_clock::time_point;

// Where the per-user widget host listens: $XDG_RUNTIME_DIR/vantorix-widget-host.sock.
// Absent when XDG_RUNTIME_DIR is unset, empty or relative (such values are to be ignored), or
// when the path does not fit in a socket address. Absent means: no host is reachable.
// It reads the process environment: call it on the caller's thread and hand the path to any
// background work, since another thread (node's, for one) may change the environment meanwhile.
[[nodiscard]] std::optional<std::string> widgetHostSocketPath();

// One stream connection to the widget host. Move-only; the socket is closed on destruction.
// Every operation is non-blocking or bounded by a deadline, so that no caller can hang on a
// host that is slow, stuck or gone.
class HostConnection {
 public:
  enum class State {
    connected,    // connected (or the connection is under way)
    busy,         // the host is listening but its queue of pending connections is full
    unreachable,  // no host: no runtime directory, no socket, or nobody listening on it
  };

  // Tries once to connect, without waiting, to the host at `socketPath` (absent: no host).
  [[nodiscard]] static HostConnection tryConnect(const std::optional<std::string>& socketPath);
  // Tries to connect until `deadline` while the host is busy.
  [[nodiscard]] static HostConnection connect(const std::optional<std::string>& socketPath,
                                              Deadline deadline);

  HostConnection(HostConnection&& other) noexcept;
  HostConnection& operator=(HostConnection&& other) noexcept;
  HostConnection(const HostConnection&) = delete;
  HostConnection& operator=(const HostConnection&) = delete;
  ~HostConnection();

  [[nodiscard]] State state() const { return state_; }

  // Sends what the socket takes right now. Returns the number of bytes sent (0 when the socket
  // would block), or nothing when the connection failed.
  [[nodiscard]] std::optional<std::size_t> sendNow(std::string_view bytes);
  // Sends all of `bytes`, waiting for room until `deadline`. True when everything went out.
  [[nodiscard]] bool sendAll(std::string_view bytes, Deadline deadline);
  // Reads one line (without its newline) until `deadline`. The end of the connection also ends
  // a line that has text. Nothing when the host sent no line in time, or more than `limit` bytes.
  [[nodiscard]] std::optional<std::string> readLine(Deadline deadline, std::size_t limit);

 private:
  HostConnection(int fd, State state) : fd_(fd), state_(state) {}
  [[nodiscard]] bool waitFor(short events, Deadline deadline) const;

  int fd_ = -1;
  State state_ = State::unreachable;
};

}  // namespace vx::host
