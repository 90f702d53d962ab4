#include "host/host_client.hpp"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <future>
#include <memory>
#include <string>
#include <thread>

#include "host/host_socket.hpp"
#include "support/scratch.hpp"

namespace vx::host {
namespace {

using namespace std::chrono_literals;

// A widget host in `dir` that answers the first request it gets with `answer` and closes.
class FakeHost {
 public:
  FakeHost(const std::filesystem::path& dir, std::string answer) {
    listener_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = (dir / "vantorix-widget-host.sock").string();
    std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
    const bool listening =
        ::bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0 &&
        ::listen(listener_, 4) == 0;
    EXPECT_TRUE(listening) << path;
    server_ = std::thread([this, answer = std::move(answer)] { serveOnce(answer); });
  }
  FakeHost(const FakeHost&) = delete;
  FakeHost& operator=(const FakeHost&) = delete;
  ~FakeHost() {
    server_.join();
    ::close(listener_);
  }

 private:
  void serveOnce(const std::string& answer) const {
    pollfd entry{listener_, POLLIN, 0};
    if (::poll(&entry, 1, 10000) != 1) return;
    const int client = ::accept(listener_, nullptr, nullptr);
    if (client < 0) return;
    char byte = 0;
    while (::recv(client, &byte, 1, 0) == 1 && byte != '\n') {
    }
    (void)::send(client, answer.data(), answer.size(), MSG_NOSIGNAL);
    ::close(client);
  }

  int listener_ = -1;
  std::thread server_;
};

TEST(HostClient, SettingsQueryGoesToTheHostNamedWhenItWasAsked) {
  const testing::ScratchFolder hostDir;
  const testing::ScratchFolder otherDir;
  const FakeHost host(hostDir.path(), "{\"authorizationStatus\":1}\n");
  auto answered = std::make_shared<std::promise<std::optional<std::int64_t>>>();
  auto answer = answered->get_future();

  const testing::ScopedEnvironment runtime("XDG_RUNTIME_DIR", hostDir.path().string());
  notificationSettings("com.example.app",
                       [answered](std::optional<std::int64_t> raw) { answered->set_value(raw); });
  // The caller's environment moves on at once (node's process.env may do this on its thread);
  // the query already under way must neither read it concurrently nor follow it.
  const testing::ScopedEnvironment moved("XDG_RUNTIME_DIR", otherDir.path().string());

  ASSERT_EQ(answer.wait_for(10s), std::future_status::ready);
  EXPECT_EQ(answer.get(), 1);
}

TEST(HostSocket, OnlyAPrivateRuntimeFolderOfTheUsersOwnHoldsIt) {
  const testing::ScratchFolder runtime;  // made with mode 0700
  std::filesystem::create_directory_symlink(runtime.path(), runtime.path() / "link");
  const testing::ScopedEnvironment variable("XDG_RUNTIME_DIR", runtime.path().string());
  EXPECT_EQ(widgetHostSocketPath(), (runtime.path() / "vantorix-widget-host.sock").string());
  const testing::ScopedEnvironment linked("XDG_RUNTIME_DIR", (runtime.path() / "link/").string());
  EXPECT_EQ(widgetHostSocketPath(), std::nullopt) << "a link in its place";
  EXPECT_NE(widgetHostSocketPlace().refusal, "") << "and a host is told why";
}

TEST(HostSocket, AListenerOfAnotherUserIsNoHost) {
  if (::geteuid() != 0) GTEST_SKIP() << "only the superuser can listen as another user";
  const testing::ScratchFolder dir;
  ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
  ASSERT_EQ(::seteuid(65534), 0);
  const FakeHost squatter(dir.path(), "{\"authorizationStatus\":2}\n");  // bound the name first
  ASSERT_EQ(::seteuid(0), 0);
  EXPECT_EQ(HostConnection::tryConnect((dir.path() / "vantorix-widget-host.sock").string()).state(),
            HostConnection::State::unreachable);
}

}  // namespace
}  // namespace vx::host
