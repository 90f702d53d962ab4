// Where the session token may go: the Authorization header of requests to the service the
// session names, and nowhere else — not the program's output, the files it writes, the
// favicon requests, or a host that a redirect points at.

#include <filesystem>
#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "driver_fixture.hpp"
#include "store/file_io.hpp"

namespace vx::testing {
namespace {

const std::string kToken = "tok-7Qm2v9XcLr4Zp8Hs";

class SecretsTest : public DriverTest {
 protected:
  void signInWithToken() {
    writeFile(sharedFolder() / SharedStore::kSessionFile,
              nlohmann::json{{"api", fake_.baseUrl()}, {"token", kToken}}.dump());
  }

  // Every header value of every request `service` received that holds the token.
  static std::vector<std::string> carriers(const testing::FakeService& service) {
    std::vector<std::string> found;
    for (const auto& request : service.requests()) {
      for (const auto& [name, value] : request.headers) {
        if (value.find(kToken) != std::string::npos) found.push_back(request.target + " " + name);
      }
      if (request.target.find(kToken) != std::string::npos ||
          request.body.find(kToken) != std::string::npos) {
        found.push_back(request.target + " (target or body)");
      }
    }
    return found;
  }

  testing::FakeService elsewhere_;
};

TEST_F(SecretsTest, TheTokenGoesOnlyToTheServiceInItsAuthorizationHeader) {
  signInWithToken();
  serveProjects({"alpha", "beta"});
  fake_.on("GET", "/v1/favicons/alpha.example", testing::Answer{200, "not a picture"});
  // A redirect to another origin is not followed, so the token cannot go along.
  const std::string away =
      "http://127.0.0.1:" + elsewhere_.baseUrl().substr(elsewhere_.baseUrl().rfind(':') + 1) +
      "/collect";
  fake_.on("GET", "/v1/projects/alpha/inbox?limit=100&offset=0",
           testing::Answer{302, "", {{"Location", away}}});
  fake_.on("GET", "/v1/projects/alpha/analytics/realtime",
           testing::Answer{307, "", {{"Location", away}}});
  elsewhere_.on("GET", "/collect", testing::Answer{200, R"({"current_visitors": 1})"});
  fake_.on("POST", "/v1/widgets/push-token", testing::Answer{201, "{}"});

  const auto timeline = runDriver(
      {"timeline", "--kind", "AllProjectsWidget", "--now", nowOption(), "--push-token", "0aff"});
  ASSERT_EQ(timeline.status, 0) << timeline.error;
  const auto served = runDriver(
      {"serve", "--now", nowOption()},
      R"({"id":1,"op":"timeline","kind":"WaitingWidget","configuration":{"showDetails":true}})"
      "\n"
      R"({"id":2,"op":"pushTokenDidChange","token":"0aff","widgets":1})"
      "\n");
  ASSERT_EQ(served.status, 0) << served.error;

  for (const auto* output : {&timeline.output, &timeline.error, &served.output, &served.error}) {
    EXPECT_EQ(output->find(kToken), std::string::npos) << *output;
  }
  for (const auto& entry : std::filesystem::directory_iterator(sharedFolder())) {
    if (entry.path().filename() == SharedStore::kSessionFile) continue;
    const auto content = store::readWholeFile(entry.path()).value_or("");
    EXPECT_EQ(content.find(kToken), std::string::npos) << entry.path();
  }
  EXPECT_TRUE(std::filesystem::exists(sharedFolder() / SharedStore::kSnapshotFile));

  // The service itself: only the Authorization header, and never on the favicon request.
  std::size_t authorised = 0;
  for (const auto& request : fake_.requests()) {
    const auto authorization = request.header("Authorization");
    if (request.target.rfind("/v1/favicons/", 0) == 0) {
      EXPECT_EQ(authorization, std::nullopt) << request.target;
    } else if (authorization == "Bearer " + kToken) {
      ++authorised;
    }
  }
  EXPECT_GT(authorised, 0u);
  EXPECT_EQ(fake_.requests("GET", "/v1/favicons/alpha.example").size(), 1u);
  EXPECT_EQ(carriers(fake_).size(), authorised) << "the token only ever in the header";
  EXPECT_TRUE(elsewhere_.requests().empty()) << "a redirect left the service's origin";
}

}  // namespace
}  // namespace vx::testing
