#include "desktop/socket_server.hpp"

#include <atomic>
#include <cstring>
#include <mutex>
#include <thread>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "desktop/host_requests.hpp"
#include "support/local_client.hpp"
#include "support/scratch.hpp"
#include "support/unprivileged.hpp"

namespace vx::desktop {
namespace {

using testing::LocalClient;

Instant systemNow() {
  return std::chrono::time_point_cast<std::chrono::microseconds>(std::chrono::system_clock::now());
}

// The server with the host's request handling, run on its own thread as the host runs it.
class SocketServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    permissions_ = std::make_unique<NotificationPermissions>(folder_.path() / "notifications.json");
    requests_.permissions = permissions_.get();
    requests_.reload = [this](const std::string& app) {
      std::lock_guard lock(mutex_);
      reloaded_.push_back(app);
    };
  }
  void start() {
    server_ = std::make_unique<SocketServer>(SocketServer::listenAt(path_));
    thread_ = std::thread([this] {
      while (!stop_) {
        std::vector<pollfd> fds;
        server_->addPollFds(fds);
        (void)::poll(fds.data(), fds.size(), 20);
        server_->service(systemNow(),
                         [this](const std::string& line) { return requests_.answer(line); });
      }
    });
  }
  void TearDown() override {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  std::string ask(const std::string& line) { return testing::askLocal(path_, line); }
  std::vector<std::string> reloaded() {
    std::lock_guard lock(mutex_);
    return reloaded_;
  }

  testing::ScratchFolder folder_;
  std::string path_ = (folder_.path() / "host.sock").string();
  std::unique_ptr<NotificationPermissions> permissions_;
  HostRequests requests_;
  std::unique_ptr<SocketServer> server_;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<std::string> reloaded_;
};

TEST_F(SocketServerTest, AnotherUsersRequestsAreNeitherReadNorAnswered) {
  if (::geteuid() != 0) GTEST_SKIP() << "only the superuser can connect as another user";
  start();
  // The socket within the other user's reach, as only a careless folder or socket mode puts it.
  ASSERT_EQ(::chmod(folder_.path().c_str(), 0711), 0);
  ASSERT_EQ(::chmod(path_.c_str(), 0666), 0);
  const std::string settings = "{\"type\":\"notificationSettings\",\"app\":\"a\"}\n";
  EXPECT_TRUE(testing::asUnprivileged([&] {
    LocalClient reload(path_);
    reload.write("{\"type\":\"reloadAllTimelines\",\"app\":\"a\"}\n");
    LocalClient asking(path_);
    asking.write(settings);
    return reload.connected() && reload.readAll().empty() && asking.readAll().empty();
  }));
  EXPECT_TRUE(reloaded().empty());
  EXPECT_EQ(ask(settings), "{\"authorizationStatus\":0}\n") << "the user's own are answered";
}

TEST_F(SocketServerTest, EachApplicationHasItsOwnStoredPermissionAskedOnce) {
  requests_.unattendedAnswer = Authorization::authorized;
  permissions_->store("org.denied", Authorization::denied);
  start();
  const std::string a = R"("app":"com.vantorix.desktop")";
  EXPECT_EQ(ask(R"({"type":"notificationSettings",)" + a + "}\n"), "{\"authorizationStatus\":0}\n");
  EXPECT_EQ(ask(R"({"options":7,"type":"requestAuthorization",)" + a + ",\"extra\":1}\n"),
            "{\"granted\":true}\n");
  EXPECT_EQ(ask(R"({"type":"notificationSettings",)" + a + "}\n"), "{\"authorizationStatus\":2}\n");
  // An answer the user gave is not asked again.
  EXPECT_EQ(ask("{\"type\":\"requestAuthorization\",\"app\":\"org.denied\",\"options\":7}\n"),
            "{\"granted\":false}\n");
  EXPECT_EQ(ask("{\"type\":\"notificationSettings\",\"app\":\"org.denied\"}\n"),
            "{\"authorizationStatus\":1}\n");
  // Kept in the host's file, so a new host answers the same.
  EXPECT_EQ(
      NotificationPermissions(folder_.path() / "notifications.json").status("com.vantorix.desktop"),
      Authorization::authorized);
}

TEST_F(SocketServerTest, WithoutAnUnattendedAnswerTheApplicationStaysUndecided) {
  start();
  EXPECT_EQ(ask("{\"type\":\"requestAuthorization\",\"app\":\"a.b\",\"options\":7}\n"),
            "{\"granted\":false}\n");
  EXPECT_EQ(ask("{\"type\":\"notificationSettings\",\"app\":\"a.b\"}\n"),
            "{\"authorizationStatus\":0}\n");
}

TEST_F(SocketServerTest, AReloadNamesItsApplicationAndALastLineWithoutNewlineCounts) {
  start();
  EXPECT_EQ(ask("{\"type\":\"reloadAllTimelines\",\"app\":\"one.app\"}\n"), "");
  {
    LocalClient client(path_);
    client.write("{\"type\":\"reloadAllTimelines\",\"app\":\"two.app\"}");
  }
  EXPECT_EQ(ask("{\"type\":\"notificationSettings\",\"app\":\"x\"}\n"),
            "{\"authorizationStatus\":0}\n");
  EXPECT_EQ(reloaded(), (std::vector<std::string>{"one.app", "two.app"}));
}

TEST_F(SocketServerTest, HostileClientsNeverStopTheHostNorHoldUpOthers) {
  start();
  // Requests it does not know close the connection without an answer.
  for (const char* bad : {"garbage\n", "[1,2]\n", "{\"type\":\"reboot\",\"app\":\"a\"}\n",
                          "{\"type\":\"notificationSettings\"}\n", "\n", "\xff\xfe\n"}) {
    EXPECT_EQ(ask(bad), "") << bad;
  }
  // Half lines that never end, a line too long to keep, a flood of idle connections and a
  // client that never reads: none of them keeps a good client waiting.
  LocalClient half(path_);
  half.write("{\"type\":\"notificationSet");
  LocalClient huge(path_);
  huge.write(std::string(SocketServer::kLongestRequest + 10, 'x'));
  EXPECT_EQ(huge.readAll(), "");  // closed, not buffered without end
  std::vector<std::unique_ptr<LocalClient>> flood;
  for (std::size_t i = 0; i < SocketServer::kMostConnections + 20; ++i) {
    flood.push_back(std::make_unique<LocalClient>(path_));
  }
  LocalClient silent(path_);
  silent.write("{\"type\":\"notificationSettings\",\"app\":\"a\"}\n");
  EXPECT_EQ(ask("{\"type\":\"notificationSettings\",\"app\":\"a\"}\n"),
            "{\"authorizationStatus\":0}\n");
  // The server's own thread is stopped before its connections are counted.
  stop_ = true;
  thread_.join();
  EXPECT_LE(server_->connections(), SocketServer::kMostConnections);
}

TEST(SocketServerListen, RefusesASocketAnotherHostListensOnButReplacesAStaleOne) {
  testing::ScratchFolder folder;
  const std::string path = (folder.path() / "host.sock").string();
  {
    SocketServer first = SocketServer::listenAt(path);
    EXPECT_THROW((void)SocketServer::listenAt(path), std::runtime_error);
  }
  // A stale socket file that nobody accepts on.
  const int stale = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
  ASSERT_EQ(::bind(stale, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ::close(stale);
  EXPECT_NO_THROW((void)SocketServer::listenAt(path));
}

}  // namespace
}  // namespace vx::desktop
