// The host as the service manager starts it: the socket listens before the host runs, and the
// first message wakes it (systemd-socket-activate hands the socket over as systemd does, with
// only the environment it is told to pass on).

#include <csignal>
#include <filesystem>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "support/local_client.hpp"
#include "support/process.hpp"
#include "support/scratch.hpp"

namespace vx::desktop {
namespace {

using testing::askLocal;

class SocketActivationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(VX_SOCKET_ACTIVATE_PATH)) {
      GTEST_SKIP() << "no systemd-socket-activate";
    }
    std::filesystem::create_directory(runtime_);
    ::chmod(runtime_.c_str(), 0700);
  }
  // The host on a socket that listens from now on, started for its first connection.
  std::unique_ptr<testing::ChildProcess> activated(const std::vector<std::string>& arguments,
                                                   const std::string& display = {}) {
    std::vector<std::string> all = {"-l", socket_.string()};
    for (const char* name :
         {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR", "LC_ALL", "TZ"}) {
      all.insert(all.end(), {"-E", name});
    }
    if (!display.empty()) all.insert(all.end(), {"-E", "DISPLAY=" + display});
    all.push_back(VX_HOST_PATH);
    all.insert(all.end(), arguments.begin(), arguments.end());
    all.insert(all.end(), {"--extension", VX_WIDGETS_PATH});
    auto process =
        std::make_unique<testing::ChildProcess>(VX_SOCKET_ACTIVATE_PATH, all, environment_);
    EXPECT_TRUE(testing::eventually([&] { return std::filesystem::exists(socket_); }));
    return process;
  }
  testing::RunResult host(const std::vector<std::string>& arguments) {
    return testing::run(VX_HOST_PATH, arguments, environment_);
  }

  testing::ScratchFolder folder_;
  std::filesystem::path runtime_ = folder_.path() / "run";
  std::filesystem::path socket_ = runtime_ / "vantorix-widget-host.sock";
  testing::Environment environment_ = {{"HOME", folder_.path().string()},
                                       {"XDG_CONFIG_HOME", (folder_.path() / "config").string()},
                                       {"XDG_DATA_HOME", (folder_.path() / "data").string()},
                                       {"XDG_RUNTIME_DIR", runtime_.string()},
                                       {"PATH", "/usr/bin:/bin"},
                                       {"LC_ALL", "C.UTF-8"},
                                       {"TZ", "UTC"}};
};

TEST_F(SocketActivationTest, TheWakingMessageIsAnsweredAndASecondHostEndsAtOnce) {
  auto first = activated({"run", "--headless", "--output", (folder_.path() / "out").string(),
                          "--notifications", "deny"});
  EXPECT_EQ(askLocal(socket_, R"({"type":"requestAuthorization","app":"com.example.a"})"
                              "\n"),
            "{\"granted\":false}\n");
  const auto second = host({"run", "--headless", "--output", (folder_.path() / "other").string()});
  EXPECT_EQ(second.status, 0);
  EXPECT_EQ(second.error, "vantorix-widget-host: another host already serves " + socket_.string() +
                              ": this one ends\n");
  EXPECT_EQ(askLocal(socket_, R"({"type":"notificationSettings","app":"com.example.a"})"
                              "\n"),
            "{\"authorizationStatus\":1}\n");
  EXPECT_EQ(first->stop(SIGTERM), 0) << first->error();
}

// Outside the graphical session: no display named, or one that cannot be opened.
class WithoutDisplayTest : public SocketActivationTest,
                           public ::testing::WithParamInterface<std::string> {};

TEST_P(WithoutDisplayTest, TheHostAnswersFromWhatIsStoredAndEndsByItself) {
  ASSERT_EQ(host({"notifications", "--app", "com.example.a", "allow"}).status, 0);
  auto activation = activated({"run"}, GetParam());
  EXPECT_EQ(askLocal(socket_, R"({"type":"notificationSettings","app":"com.example.a"})"
                              "\n"),
            "{\"authorizationStatus\":2}\n");
  EXPECT_EQ(askLocal(socket_, R"({"type":"reloadAllTimelines","app":"com.example.a"})"
                              "\n"),
            "");
  EXPECT_EQ(activation->wait(std::chrono::seconds(30)), 0) << activation->error();
  const std::string why = "no display to show widgets on";
  EXPECT_NE(activation->error().find(why), std::string::npos) << activation->error();
  EXPECT_EQ(activation->error().find(why), activation->error().rfind(why)) << "said once";
}

INSTANTIATE_TEST_SUITE_P(Displays, WithoutDisplayTest, ::testing::Values("", ":4093"));

}  // namespace
}  // namespace vx::desktop
