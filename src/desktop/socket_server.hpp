#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <poll.h>

#include "base/file_descriptor.hpp"
#include "host/timeline.hpp"

namespace vx::desktop {

using host::Instant;

// The host socket's server side: one request line per connection, at most one answer line.
// Only connections from processes of this user's own are kept; others are closed at once.
// Everything is non-blocking and bounded, so that no client can stop the host or hold up
// another: a line longer than `kLongestRequest` closes its connection, as does a connection
// that has not finished its line (or taken its answer) within `kConnectionPatience`; beyond
// `kMostConnections` the oldest connection is dropped to make room.
class SocketServer {
 public:
  static constexpr std::size_t kLongestRequest = 64 * 1024;
  static constexpr std::size_t kMostConnections = 64;
  static constexpr std::chrono::seconds kConnectionPatience{5};

  // Answers one request line: the answer line (without its newline), an empty text for no
  // answer, or nothing to close the connection at once.
  using Handler = std::function<std::optional<std::string>(const std::string& line)>;

  // Listens on `path`, replacing a stale socket file that nobody accepts on. Throws
  // `std::runtime_error` when it cannot, or when another host is listening there.
  static SocketServer listenAt(const std::string& path);
  // Takes over a socket that is already listening (socket activation).
  static SocketServer adopt(base::FileDescriptor listener);
  SocketServer(SocketServer&& other) noexcept;
  SocketServer& operator=(SocketServer&&) = delete;
  SocketServer(const SocketServer&) = delete;
  ~SocketServer();

  // Adds the descriptors to wait on.
  void addPollFds(std::vector<pollfd>& fds) const;
  // Accepts, reads, answers and closes what is ready, then drops connections past their time.
  void service(Instant now, const Handler& handler);
  // When the oldest connection runs out of patience.
  [[nodiscard]] std::optional<Instant> nextWake() const;

  [[nodiscard]] std::size_t connections() const { return clients_.size(); }

 private:
  struct Client {
    base::FileDescriptor fd;
    Instant deadline;
    std::string input;
    std::string output;
    bool answered = false;
  };
  SocketServer(base::FileDescriptor listener, std::string path)
      : listener_(std::move(listener)), path_(std::move(path)) {}
  void accept(Instant now);
  // False when the connection is done with.
  bool read(Client& client, const Handler& handler);
  bool write(Client& client);

  base::FileDescriptor listener_;
  std::string path_;  // removed on destruction when the server made it
  std::vector<Client> clients_;
};

// The listening socket that the service manager handed over (LISTEN_FDS), if any.
[[nodiscard]] std::optional<base::FileDescriptor> activatedSocket();
// Whether the service manager handed this process a socket (without taking it over).
[[nodiscard]] bool socketHandedOver();
// Whether something accepts connections on `path`: a host, or the service manager holding the
// socket for one (which the connection wakes).
[[nodiscard]] bool someoneListensOn(const std::string& path);

}  // namespace vx::desktop
