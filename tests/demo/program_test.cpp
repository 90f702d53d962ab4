// The program as a shell script uses it: help, refusals, the printed session, the ready file
// and a clean stop on SIGTERM and SIGINT.

#include <gtest/gtest.h>
#include <httplib.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "support/process.hpp"
#include "support/scratch.hpp"

namespace {

namespace fs = std::filesystem;
using vx::testing::ChildProcess;

// A program that has not ended after this long is killed.
constexpr auto kPatience = std::chrono::seconds(10);

class ProgramTest : public ::testing::Test {
 protected:
  // Runs the program to its end; answers its exit status and standard output.
  std::pair<int, std::string> run(const std::vector<std::string>& args) {
    ChildProcess program(VX_DEMO_SERVICE, {.arguments = args});
    const int status = program.wait(kPatience);
    return {status, program.remainingOutput()};
  }

  vx::testing::ScratchFolder dir_;
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
    const fs::path ready = dir_.path() / "session.json";
    ChildProcess service(VX_DEMO_SERVICE,
                         {.arguments = {"--port", "0", "--ready-file", ready.string(), "--now",
                                        "2026-03-10T12:00:00Z"}});
    ASSERT_TRUE(
        vx::testing::eventually([&] { return !vx::testing::readFile(ready).empty(); }, kPatience));
    const auto session = nlohmann::json::parse(vx::testing::readFile(ready));
    // The first line on standard output is the same document.
    const auto first = service.readLine(kPatience);
    ASSERT_TRUE(first);
    EXPECT_EQ(nlohmann::json::parse(*first), session);

    const std::string api = session.at("api");
    ASSERT_TRUE(api.starts_with("http://localhost:"));
    httplib::Client c("127.0.0.1", std::stoi(api.substr(api.rfind(':') + 1)));
    auto res = c.Get("/v1/projects",
                     {{"Authorization", "Bearer " + session.at("token").get<std::string>()}});
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 200);

    EXPECT_EQ(service.stop(signal, kPatience), 0) << "signal " << signal;
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
