#include "support/fake_service.hpp"

#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>

namespace vx::testing {
namespace {

using namespace std::chrono_literals;

TEST(FakeService, AnswersScriptedTargetsExactlyAndRecordsRequests) {
  FakeService fake;
  fake.on("GET", "/v1/x?b=2&a=1", {200, R"({"ok":true})", {{"X-Extra", "1"}}});
  httplib::Client client("127.0.0.1", fake.port());
  client.set_keep_alive(true);

  auto hit = client.Get("/v1/x?b=2&a=1", {{"Authorization", "Bearer T"}});
  ASSERT_TRUE(hit);
  EXPECT_EQ(hit->status, 200);
  EXPECT_EQ(hit->body, R"({"ok":true})");
  EXPECT_EQ(hit->get_header_value("Content-Type"), "application/json");
  EXPECT_EQ(hit->get_header_value("X-Extra"), "1");

  // Another query order is another target; unscripted targets get 404.
  auto miss = client.Get("/v1/x?a=1&b=2");
  ASSERT_TRUE(miss);
  EXPECT_EQ(miss->status, 404);

  auto log = fake.requests();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].method, "GET");
  EXPECT_EQ(log[0].target, "/v1/x?b=2&a=1");
  EXPECT_EQ(log[0].header("authorization"), "Bearer T");
  EXPECT_FALSE(log[1].header("Authorization"));
  EXPECT_FALSE(log[0].header("REMOTE_PORT"));
  EXPECT_EQ(fake.requests("GET", "/v1/x?a=1&b=2").size(), 1u);
  EXPECT_EQ(fake.connectionsAccepted(), 1u);  // kept alive between the two
}

TEST(FakeService, ReachableAsLocalhostOnEitherLoopbackAddress) {
  FakeService fake;
  fake.otherwise({204, ""});
  for (const char* host : {"127.0.0.1", "localhost"}) {
    httplib::Client client(host, fake.port());
    auto result = client.Get("/");
    ASSERT_TRUE(result) << host;
    EXPECT_EQ(result->status, 204);
  }
  EXPECT_EQ(fake.baseUrl(), "http://localhost:" + std::to_string(fake.port()));
}

TEST(FakeService, StopEndsStalledAndIdleConnectionsPromptly) {
  FakeService fake;
  fake.on("GET", "/stall", Answer{200, std::string(1000, 'x')}.stallingHalfway());
  httplib::Client idle("127.0.0.1", fake.port());
  idle.set_keep_alive(true);
  ASSERT_TRUE(idle.Get("/idle"));  // leaves a kept-alive connection behind

  std::thread stalled([&] {
    httplib::Client client("127.0.0.1", fake.port());
    client.set_read_timeout(30s);
    auto result = client.Get("/stall");
    EXPECT_FALSE(result && result->body.size() == 1000);
  });
  ASSERT_TRUE(fake.waitForRequests(2));
  auto begin = std::chrono::steady_clock::now();
  fake.stop();
  stalled.join();
  // A generous bound: without closing connections, stop would wait for the keep-alive hour.
  EXPECT_LT(std::chrono::steady_clock::now() - begin, 10s);
}

TEST(FakeService, ResponderSeesTheRequest) {
  FakeService fake;
  fake.on("POST", "/echo", [](const RecordedRequest& request) {
    return Answer{201, request.body};
  });
  httplib::Client client("127.0.0.1", fake.port());
  auto result = client.Post("/echo", "payload", "text/plain");
  ASSERT_TRUE(result);
  EXPECT_EQ(result->status, 201);
  EXPECT_EQ(result->body, "payload");
}

}  // namespace
}  // namespace vx::testing
