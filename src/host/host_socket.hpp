#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "base/file_descriptor.hpp"

namespace vx::host {

using Deadline = std::chrono::steady_clock::time_point;

// Where the per-user widget host listens: $XDG_RUNTIME_DIR/vantorix-widget-host.sock, and only
// when that folder is the user's own private one: a directory (not a symbolic link) that belongs
// to this user and grants nobody else any access. Anywhere else another user could bind the name
// first, or replace the socket.
struct SocketPlace {
  // Absent when XDG_RUNTIME_DIR is unset, empty or relative (such values are to be ignored), is
  // not such a private folder, or when the path does not fit in a socket address. Absent means:
  // no host is reachable.
  std::optional<std::string> path;
  // Why there is no path although XDG_RUNTIME_DIR is set to an absolute path, for a host to
  // report; empty otherwise.
  std::string refusal;
};

// Reads the process environment: call it on the caller's thread and hand the path to any
// background work, since another thread (node's, for one) may change the environment meanwhile.
[[nodiscard]] SocketPlace widgetHostSocketPlace();
[[nodiscard]] std::optional<std::string> widgetHostSocketPath();

// Whether the process at the other end of the connected Unix socket `fd` runs as this user
// (by the credentials the kernel took when that end connected or started listening).
[[nodiscard]] bool peerIsThisUser(int fd);

// One stream connection to the widget host. Move-only; the socket is closed on destruction.
// Every operation is non-blocking or bounded by a deadline, so that no caller can hang on a
// host that is slow, stuck or gone.
class HostConnection {
 public:
  enum class State {
    connected,    // connected (or the connection is under way)
    busy,         // the host is listening but its queue of pending connections is full
    unreachable,  // no host: no runtime directory, no socket, nobody listening on it, or a
                  // listener that is not this user's
  };

  // Tries once to connect, without waiting, to the host at `socketPath` (absent: no host).
  // Only a listener of this user's own counts as the host.
  [[nodiscard]] static HostConnection tryConnect(const std::optional<std::string>& socketPath);
  // Tries to connect until `deadline` while the host is busy.
  [[nodiscard]] static HostConnection connect(const std::optional<std::string>& socketPath,
                                              Deadline deadline);

  HostConnection(HostConnection&& other) noexcept;
  HostConnection& operator=(HostConnection&& other) noexcept;
  HostConnection(const HostConnection&) = delete;
  HostConnection& operator=(const HostConnection&) = delete;
  ~HostConnection() = default;

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
  HostConnection(base::FileDescriptor fd, State state) : fd_(std::move(fd)), state_(state) {}
  [[nodiscard]] bool waitFor(short events, Deadline deadline) const;

  base::FileDescriptor fd_;
  State state_ = State::unreachable;
};

}  // namespace vx::host
