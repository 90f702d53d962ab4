#include "api/client.hpp"

#include <gtest/gtest.h>

#include <chrono>

#include "model/json_fields.hpp"
#include "net/http_session.hpp"
#include "support/fake_service.hpp"

namespace vx::api {
namespace {

using namespace std::chrono_literals;
using testing::Answer;
using testing::FakeService;

constexpr const char* kProjects =
    R"({"data": [{"uuid": "u1", "slug": "s1", "domain": "a.example"}]})";

class ClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    net::HttpSession::Options options;
    options.noProgressTimeoutSeconds = 2;
    net::HttpSession::configureShared(options);
  }
  void TearDown() override { net::HttpSession::configureShared({}); }

  Client client() const { return Client(fake.baseUrl(), "T0k.en"); }

  // The failure kind of a request, or nothing when it succeeded or failed otherwise.
  std::optional<Client::FailureKind> failureOf(const std::string& path) const {
    try {
      (void)client().get<Project::List>(path);
    } catch (const Client::Failure& failure) {
      return failure.kind();
    } catch (...) {
    }
    return std::nullopt;
  }

  FakeService fake;
};

TEST_F(ClientTest, DecodesTheBodyOf200) {
  fake.on("GET", "/v1/projects", {200, kProjects});
  Project::List list = client().get<Project::List>("/v1/projects");
  ASSERT_EQ(list.data.size(), 1u);
  EXPECT_EQ(list.data[0].slug, "s1");
}

TEST_F(ClientTest, MapsEveryOtherStatusToFailedOrSignedOut) {
  fake.on("GET", "/201", {201, kProjects});
  fake.on("GET", "/204", {204, kProjects});
  fake.on("GET", "/403", {403, kProjects});
  fake.on("GET", "/401", {401, "not json at all"});
  fake.on("GET", "/500", {500, "<html>"});
  fake.on("GET", "/302", {302, kProjects});  // a redirect without a place to go
  EXPECT_EQ(failureOf("/201"), Client::FailureKind::failed);
  EXPECT_EQ(failureOf("/204"), Client::FailureKind::failed);
  EXPECT_EQ(failureOf("/403"), Client::FailureKind::failed);
  EXPECT_EQ(failureOf("/500"), Client::FailureKind::failed);
  EXPECT_EQ(failureOf("/302"), Client::FailureKind::failed);
  EXPECT_EQ(failureOf("/unscripted"), Client::FailureKind::failed);  // 404
  EXPECT_EQ(failureOf("/401"), Client::FailureKind::signedOut);
}

TEST_F(ClientTest, FollowsRedirectsAndJudgesTheFinalAnswer) {
  fake.on("GET", "/old", {301, "", {{"Location", "/v1/projects"}}});
  fake.on("GET", "/gone", {302, "", {{"Location", "/v1/unauthorized"}}});
  fake.on("GET", "/v1/projects", {200, kProjects});
  fake.on("GET", "/v1/unauthorized", {401});
  EXPECT_EQ(client().get<Project::List>("/old").data.size(), 1u);
  EXPECT_EQ(failureOf("/gone"), Client::FailureKind::signedOut);
}

TEST_F(ClientTest, MissingMemberIn200IsTheDecodingErrorNotFailed) {
  fake.on("GET", "/v1/projects", {200, R"({"data": [{"uuid": "u1", "slug": "s1"}]})"});
  try {
    (void)client().get<Project::List>("/v1/projects");
    FAIL() << "decoded a project without a domain";
  } catch (const fields::DecodeError& error) {
    EXPECT_EQ(error.path(), "data[0].domain");
  }
}

TEST_F(ClientTest, SendsOneBearerHeaderToTheHostRootWhateverTheBasePath) {
  fake.on("GET", "/v1/projects/s1/inbox?limit=100&offset=0", {200, "{}"});
  Client withPath(fake.baseUrl() + "/extra/folder/?q=1", "T0k.en");
  (void)withPath.get<Inbox>("/v1/projects/s1/inbox?limit=100&offset=0");

  auto recorded = fake.requests().at(0);
  EXPECT_EQ(recorded.method, "GET");
  EXPECT_EQ(recorded.target, "/v1/projects/s1/inbox?limit=100&offset=0");
  EXPECT_EQ(recorded.header("Authorization"), "Bearer T0k.en");
  EXPECT_EQ(recorded.body, "");
  int authorizations = 0;
  for (const auto& header : recorded.headers) authorizations += header.first == "Authorization";
  EXPECT_EQ(authorizations, 1);
}

TEST_F(ClientTest, AddressThatCannotBeFormedFailsWithoutARequest) {
  auto failure = [](const Client& c,
                    const std::string& path) -> std::optional<Client::FailureKind> {
    try {
      (void)c.get<Realtime>(path);
    } catch (const Client::Failure& f) {
      return f.kind();
    }
    return std::nullopt;
  };
  EXPECT_EQ(failure(Client("not an address", "T"), "/v1/projects"), Client::FailureKind::failed);
  EXPECT_EQ(failure(client(), "//elsewhere.example/v1/projects"), Client::FailureKind::failed);
  EXPECT_EQ(fake.requestCount(), 0u);
}

TEST_F(ClientTest, TransportErrorsReachTheCallerUnchanged) {
  fake.on("GET", "/v1/projects", Answer{200, kProjects}.stallingHalfway());
  EXPECT_THROW((void)client().get<Project::List>("/v1/projects"), net::TransportError);

  int port = fake.port();
  fake.stop();
  Client closed("http://localhost:" + std::to_string(port), "T");
  EXPECT_THROW((void)closed.get<Project::List>("/v1/projects"), net::TransportError);
}

TEST_F(ClientTest, RedirectOutOfTheOriginIsATransportErrorNeverASignOut) {
  FakeService other;
  other.otherwise({401});
  fake.on("GET", "/v1/projects", {307, "", {{"Location", other.baseUrl() + "/v1/projects"}}});
  EXPECT_THROW((void)client().get<Project::List>("/v1/projects"), net::TransportError);
  EXPECT_EQ(other.requestCount(), 0u);
}

TEST_F(ClientTest, ConcurrentRequestsOverlapAndReuseTheirConnections) {
  constexpr int kCount = 60;
  fake.otherwise(Answer{200, R"({"current_visitors": 3})"}.after(200ms));
  auto batch = [&] {
    std::vector<std::future<Realtime>> started;
    for (int i = 0; i < kCount; ++i) {
      started.push_back(
          client().start<Realtime>("/v1/projects/p" + std::to_string(i) + "/analytics/realtime"));
    }
    for (auto& future : started) EXPECT_EQ(future.get().current_visitors, 3);
  };

  auto begin = std::chrono::steady_clock::now();
  batch();
  // Generous: one after the other they would take 12 s; together about 0.2 s.
  EXPECT_LT(std::chrono::steady_clock::now() - begin, 1500ms);
  std::size_t connections = fake.connectionsAccepted();
  batch();
  EXPECT_EQ(fake.connectionsAccepted(), connections);
  EXPECT_EQ(fake.requestCount(), 2u * kCount);
}

}  // namespace
}  // namespace vx::api
