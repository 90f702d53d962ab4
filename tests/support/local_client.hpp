#pragma once

// A client of a local (Unix) stream socket, for the tests of what a server says on one.

#include <filesystem>
#include <string>

namespace vx::testing {

// Connects at once, and may write, half-write or never read.
class LocalClient {
 public:
  explicit LocalClient(const std::filesystem::path& socket);
  ~LocalClient();
  LocalClient(const LocalClient&) = delete;
  LocalClient& operator=(const LocalClient&) = delete;

  [[nodiscard]] bool connected() const { return connected_; }
  void write(const std::string& bytes);
  // Everything until the server closes the connection.
  [[nodiscard]] std::string readAll();

 private:
  int fd_ = -1;
  bool connected_ = false;
};

// Sends `line` on a connection of its own; everything the server answers until it closes.
[[nodiscard]] std::string askLocal(const std::filesystem::path& socket, const std::string& line);

}  // namespace vx::testing
