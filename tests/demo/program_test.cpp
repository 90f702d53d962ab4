// The program as a shell script uses it: help, refusals, the printed session, the ready file
// and a clean stop on SIGTERM and SIGINT.

#include <gtest/gtest.h>
#include <httplib.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

extern char** environ;

namespace {

namespace fs = std::filesystem;

// A started program with its standard output in a file.
struct Running {
  pid_t pid = -1;
  fs::path out;
};

Running launch(const std::vector<std::string>& args, const fs::path& out) {
  std::vector<std::string> all = {VX_DEMO_SERVICE};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  Running running{-1, out};
  if (posix_spawn(&running.pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
    running.pid = -1;
  }
  posix_spawn_file_actions_destroy(&actions);
  return running;
}

// The exit status, or -1 when the program did not exit normally within ten seconds (it is
// then killed).
int finish(pid_t pid) {
  int status = 0;
  for (int i = 0; i < 1000; ++i) {
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (done < 0) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ::kill(pid, SIGKILL);
  waitpid(pid, &status, 0);
  return -1;
}

std::string read(const fs::path& file) {
  std::ifstream in(file);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("vx-demo-program-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Runs the program to its end; answers its exit status and standard output.
  std::pair<int, std::string> run(const std::vector<std::string>& args) {
    const Running r = launch(args, dir_ / "out.txt");
    if (r.pid < 0) return {-1, ""};
    const int status = finish(r.pid);
    return {status, read(r.out)};
  }

  // Waits (up to ten seconds) until `file` holds something.
  static bool appears(const fs::path& file) {
    for (int i = 0; i < 1000; ++i) {
      if (fs::exists(file) && fs::file_size(file) > 0) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }

  fs::path dir_;
};

TEST_F(ProgramTest, HelpAndBadOptions) {
  const auto [status, out] = run({"--help"});
  EXPECT_EQ(status, 0);
  EXPECT_NE(out.find("--print-session"), std::string::npos);
  EXPECT_NE(out.find("--stall"), std::string::npos);
  EXPECT_EQ(run({"--no-such-option"}).first, 2);
  EXPECT_EQ(run({"--port"}).first, 2);
  EXPECT_EQ(run({"--projects", "99"}).first, 2);
  EXPECT_EQ(run({"--error-rate", "1.5"}).first, 2);
  EXPECT_EQ(run({"--status", "abc"}).first, 2);
  EXPECT_EQ(run({"--status", "500:("}).first, 2);
  EXPECT_EQ(run({"--fault", "rest:/inbox"}).first, 2);
  EXPECT_EQ(run({"--drip-ms", "0"}).first, 2);
  EXPECT_EQ(run({"--now", "yesterday"}).first, 2);
}

TEST_F(ProgramTest, PrintSessionPrintsTheDocumentForThePortAndExits) {
  const auto [status, out] = run({"--print-session", "--port", "5123", "--token=abc"});
  EXPECT_EQ(status, 0);
  EXPECT_EQ(nlohmann::json::parse(out),
            nlohmann::json({{"api", "http://localhost:5123"}, {"token", "abc"}}));
  EXPECT_EQ(run({"--print-session", "--port", "0"}).first, 2);
}

TEST_F(ProgramTest, ServesUntilTerminatedThenRemovesTheReadyFile) {
  for (int signal : {SIGTERM, SIGINT}) {
    const fs::path ready = dir_ / "session.json";
    const Running r =
        launch({"--port", "0", "--ready-file", ready.string(), "--now", "2026-03-10T12:00:00Z"},
               dir_ / "out.txt");
    ASSERT_GT(r.pid, 0);
    ASSERT_TRUE(appears(ready));
    const auto session = nlohmann::json::parse(read(ready));
    // The first line on standard output is the same document.
    ASSERT_TRUE(appears(r.out));
    EXPECT_EQ(nlohmann::json::parse(read(r.out)), session);

    const std::string api = session.at("api");
    ASSERT_TRUE(api.starts_with("http://localhost:"));
    httplib::Client c("127.0.0.1", std::stoi(api.substr(api.rfind(':') + 1)));
    auto res = c.Get("/v1/projects",
                     {{"Authorization", "Bearer " + session.at("token").get<std::string>()}});
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 200);

    ::kill(r.pid, signal);
    EXPECT_EQ(finish(r.pid), 0) << "signal " << signal;
    EXPECT_FALSE(fs::exists(ready));
  }
}

TEST_F(ProgramTest, RefusesAPortInUse) {
  httplib::Server holder;
  const int port = holder.bind_to_any_port("127.0.0.1");
  ASSERT_GT(port, 0);
  EXPECT_EQ(run({"--port", std::to_string(port)}).first, 1);
}

}  // namespace
