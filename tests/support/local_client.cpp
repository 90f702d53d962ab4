#include "support/local_client.hpp"

#include <cstring>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace vx::testing {

LocalClient::LocalClient(const std::filesystem::path& socket) {
  fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, socket.c_str(), sizeof address.sun_path - 1);
  connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
}

LocalClient::~LocalClient() {
  if (fd_ >= 0) ::close(fd_);
}

void LocalClient::write(const std::string& bytes) {
  (void)::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
}

std::string LocalClient::readAll() {
  std::string text;
  char buffer[512];
  ssize_t got = 0;
  while ((got = ::recv(fd_, buffer, sizeof buffer, 0)) > 0) {
    text.append(buffer, static_cast<std::size_t>(got));
  }
  return text;
}

std::string askLocal(const std::filesystem::path& socket, const std::string& line) {
  LocalClient client(socket);
  if (!client.connected()) return {};
  client.write(line);
  return client.readAll();
}

}  // namespace vx::testing
