// The token check, icons, push tokens and the injected faults.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "demo/push_tokens.hpp"
#include "demo_fixture.hpp"

namespace vx::demo {
namespace {

using nlohmann::json;
using testing::DemoServiceTest;
using SteadyClock = std::chrono::steady_clock;

StatusRule rule(int status, const char* pattern) {
  return StatusRule{status, Pattern{pattern, std::regex(pattern)}};
}

TEST_F(DemoServiceTest, OnlyTheOneBearerTokenIsAccepted) {
  ServiceOptions options;
  options.token = "s3cret";
  start(options);
  auto c = client();
  EXPECT_EQ(c.Get("/v1/projects")->status, 401);
  for (const char* header : {"Bearer s3cre", "Bearer  s3cret", "bearer s3cret", "s3cret",
                             "Bearer vx-demo-7c4e9b2a51d8"}) {
    EXPECT_EQ(c.Get("/v1/projects", {{"Authorization", header}})->status, 401) << header;
  }
  EXPECT_EQ(c.Get("/v1/projects", {{"Authorization", "Bearer s3cret"}})->status, 200);
  EXPECT_EQ(c.Get("/v1/projects/northwind/inbox")->status, 401);
  EXPECT_EQ(c.Post("/v1/widgets/push-token", R"({"token":"0aff"})", "application/json")->status,
            401);
}

TEST_F(DemoServiceTest, IconsNeedNoTokenAndOneSiteHasNone) {
  ServiceOptions options;
  options.projects = 8;
  start(options);
  auto c = client();
  for (const char* host : {"northwind-coffee.com", "brightdesk.io"}) {
    auto res = c.Get((std::string("/v1/favicons/") + host).c_str());
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 200) << host;
    EXPECT_EQ(res->get_header_value("Content-Type"), "image/png");
    EXPECT_EQ(res->body.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  }
  EXPECT_EQ(c.Get("/v1/favicons/pinecone.dev")->status, 404);
  EXPECT_EQ(c.Get("/v1/favicons/elsewhere.example")->status, 404);
}

TEST_F(DemoServiceTest, PushTokensAreRecordedAndWithdrawn) {
  auto c = client();
  const httplib::Headers auth = {{"Authorization", "Bearer " + token_}};
  const std::string report =
      R"({"token":"0aff","platform":"macos","environment":"sandbox","app_id":"com.vantorix.desktop"})";
  auto res = c.Post("/v1/widgets/push-token", auth, report, "application/json");
  ASSERT_TRUE(res);
  EXPECT_EQ(res->status, 201);
  ASSERT_EQ(service_->pushTokens().tokens().size(), 1u);
  EXPECT_EQ(service_->pushTokens().tokens()[0].environment, "sandbox");
  EXPECT_EQ(json::parse(c.Get("/demo/push-tokens")->body)["tokens"][0]["app_id"],
            "com.vantorix.desktop");

  EXPECT_EQ(
      c.Post("/v1/widgets/push-token", auth, "{\"token\":\"0aff\"}", "application/json")->status,
      400);
  EXPECT_EQ(c.Post("/v1/widgets/push-token", auth, "not json", "application/json")->status, 400);

  EXPECT_EQ(c.Delete("/v1/widgets/push-token/0aff", auth)->status, 204);
  EXPECT_TRUE(service_->pushTokens().tokens().empty());
  EXPECT_EQ(c.Delete("/v1/widgets/push-token/0aff")->status, 401);
}

TEST_F(DemoServiceTest, InjectedLatencyHoldsEveryAnswer) {
  ServiceOptions options;
  options.faults.latencyMs = 150;
  options.faults.jitterMs = 50;
  start(options);
  for (const char* p : {"/v1/projects", "/v1/favicons/northwind-coffee.com"}) {
    const auto begin = SteadyClock::now();
    EXPECT_TRUE(get(p));
    EXPECT_GE(SteadyClock::now() - begin, std::chrono::milliseconds(150)) << p;
  }
}

// A stop sends at once an answer still held for its latency, and does not wait for a kept-alive
// connection to fall silent (it would wait the keep-alive's two seconds).
TEST_F(DemoServiceTest, StopReleasesHeldAnswersAndIdleConnections) {
  ServiceOptions options;
  options.faults.latencyMs = 60'000;
  start(options);
  auto idle = client();
  idle.set_keep_alive(true);
  auto inFlight = [&] {
    auto res = idle.Get("/demo/requests");  // the demo's own endpoints are not held
    return res ? json::parse(res->body)["paths"].value("GET /v1/projects", 0) : -1;
  };
  ASSERT_EQ(inFlight(), 0);

  int heldStatus = 0;
  std::thread held([&] {
    auto c = client();
    c.set_read_timeout(120, 0);
    auto res = c.Get("/v1/projects", {{"Authorization", "Bearer " + token_}});
    heldStatus = res ? res->status : -1;
  });
  for (int i = 0; i < 1000 && inFlight() < 1; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  const auto stopping = SteadyClock::now();
  service_->stop();
  held.join();
  EXPECT_LT(SteadyClock::now() - stopping, std::chrono::milliseconds(1500));
  EXPECT_EQ(heldStatus, 200);
}

// Requests sent together on one connection are each answered: what the service read ahead of
// the first belongs to the second.
TEST_F(DemoServiceTest, RequestsSentTogetherAreEachAnswered) {
  start();
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(service_->port()));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  const timeval patience{10, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
  const std::string both =
      "GET /demo/requests HTTP/1.1\r\nHost: localhost\r\n\r\n"
      "GET /v1/projects HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n\r\n";
  ASSERT_EQ(::send(fd, both.data(), both.size(), MSG_NOSIGNAL), static_cast<ssize_t>(both.size()));
  std::string answers;
  char chunk[4096];
  for (ssize_t got; (got = ::recv(fd, chunk, sizeof chunk, 0)) > 0;) answers.append(chunk, got);
  ::close(fd);
  EXPECT_NE(answers.find("HTTP/1.1 200"), std::string::npos) << answers;
  EXPECT_NE(answers.find("HTTP/1.1 401"), std::string::npos) << answers;  // no token
}

TEST_F(DemoServiceTest, InjectedStatusesFollowThePathAndQuery) {
  ServiceOptions options;
  options.faults.statuses = {rule(401, "^/v1/projects$"), rule(503, "/inbox"),
                             rule(429, "period=90d")};
  start(options);
  EXPECT_EQ(status("/v1/projects"), 401);
  EXPECT_EQ(status("/v1/projects/northwind/inbox?limit=100&offset=0"), 503);
  EXPECT_EQ(status("/v1/projects/northwind/analytics/summary?period=90d"), 429);
  EXPECT_EQ(status("/v1/projects/northwind/analytics/summary?period=7d"), 200);
}

TEST_F(DemoServiceTest, AnswerFaultsMisanswerOnlyTheirTargets) {
  ServiceOptions options;
  auto fault = [](AnswerFault kind, const char* pattern) {
    return AnswerFaultRule{kind, Pattern{pattern, std::regex(pattern)}};
  };
  options.faults.answerFaults = {
      fault(AnswerFault::malformed, "^/v1/projects$"), fault(AnswerFault::oversize, "/realtime"),
      fault(AnswerFault::redirect, "/inbox"), fault(AnswerFault::hang, "/articles")};
  options.faults.stallMs = 50;
  start(options);

  auto list = get("/v1/projects");
  ASSERT_TRUE(list);
  EXPECT_EQ(list->status, 200);
  EXPECT_FALSE(nlohmann::json::accept(list->body));

  auto live = get("/v1/projects/northwind/analytics/realtime");
  ASSERT_TRUE(live);
  EXPECT_EQ(live->status, 200);
  EXPECT_GT(live->body.size(), 16u * 1024 * 1024);

  auto inbox = get("/v1/projects/northwind/inbox?limit=100&offset=0");
  ASSERT_TRUE(inbox);
  EXPECT_EQ(inbox->status, 302);
  EXPECT_EQ(inbox->get_header_value("Location"),
            "http://127.0.0.1:" + std::to_string(service_->port()) +
                "/v1/projects/northwind/inbox?limit=100&offset=0");

  EXPECT_EQ(status("/v1/projects/northwind/articles"), 503) << "after --stall-ms";
  EXPECT_EQ(status("/v1/projects/northwind/analytics/summary?period=7d"), 200);
}

TEST_F(DemoServiceTest, ResetConnectionsGiveNoAnswerAndDripsArriveWhole) {
  ServiceOptions options;
  options.faults.answerFaults = {
      AnswerFaultRule{AnswerFault::reset, Pattern{"^/v1/projects$", std::regex("^/v1/projects$")}}};
  options.faults.drips = {Pattern{"/realtime", std::regex("/realtime")}};
  options.faults.dripMs = 5;
  start(options);

  auto list = get("/v1/projects");
  ASSERT_FALSE(list);
  EXPECT_NE(list.error(), httplib::Error::Success);
  // The reset ends only its own connection.
  EXPECT_EQ(status("/v1/projects/northwind/analytics/summary?period=7d"), 200);

  const auto begin = SteadyClock::now();
  auto live = get("/v1/projects/northwind/analytics/realtime");
  ASSERT_TRUE(live);
  EXPECT_EQ(live->status, 200);
  EXPECT_TRUE(nlohmann::json::parse(live->body).contains("current_visitors"));
  EXPECT_GE(SteadyClock::now() - begin, live->body.size() * std::chrono::milliseconds(5));
}

TEST_F(DemoServiceTest, ErrorRateFailsItsShareOfRequests) {
  ServiceOptions options;
  options.faults.errorRate = 0.5;
  options.faults.seed = 7;
  start(options);
  int failed = 0;
  for (int i = 0; i < 40; ++i) failed += status("/v1/projects/northwind/analytics/realtime") == 500;
  EXPECT_GT(failed, 5);
  EXPECT_LT(failed, 35);
}

TEST_F(DemoServiceTest, EveryRequestFailsAtErrorRateOne) {
  ServiceOptions options;
  options.faults.errorRate = 1;
  start(options);
  EXPECT_EQ(status("/v1/projects"), 500);
  EXPECT_EQ(status("/v1/favicons/northwind-coffee.com"), 500);
  // The demo's own inspection endpoints are never faulted.
  EXPECT_EQ(client().Get("/demo/requests")->status, 200);
}

TEST_F(DemoServiceTest, StalledBodyArrivesLateOrNotAtAll) {
  ServiceOptions options;
  options.faults.stalls = {Pattern{"/realtime", std::regex("/realtime")}};
  options.faults.stallMs = 200;
  start(options);
  const auto begin = SteadyClock::now();
  const json live = fetch("/v1/projects/northwind/analytics/realtime");
  EXPECT_GE(SteadyClock::now() - begin, std::chrono::milliseconds(200));
  EXPECT_TRUE(live.contains("current_visitors"));
  EXPECT_EQ(status("/v1/projects"), 200);  // other paths are not held
}

TEST_F(DemoServiceTest, StalledBodyWithoutEndIsReleasedByStop) {
  ServiceOptions options;
  options.faults.stalls = {Pattern{"/inbox", std::regex("/inbox")}};
  start(options);
  auto c = client();
  c.set_read_timeout(0, 300'000);
  auto res = c.Get("/v1/projects/northwind/inbox", {{"Authorization", "Bearer " + token_}});
  EXPECT_FALSE(res);  // the body never completes
  service_->stop();   // and stopping does not wait for it
}

TEST_F(DemoServiceTest, StalledBodyFreesItsWorkerWhenTheClientLeaves) {
  ServiceOptions options;
  options.threads = 1;
  options.faults.stalls = {Pattern{"/inbox", std::regex("/inbox")}};
  start(options);
  {
    auto c = client();
    c.set_read_timeout(0, 300'000);
    EXPECT_FALSE(c.Get("/v1/projects/northwind/inbox", {{"Authorization", "Bearer " + token_}}));
  }
  // The one worker is free again for the next client.
  EXPECT_EQ(status("/v1/projects"), 200);
}

// Two answers held back at once make a peak of two on their path; requests one after another
// on a kept-alive connection never overlap.
TEST_F(DemoServiceTest, RequestsReportTheMostInFlightAtOnceByPath) {
  ServiceOptions options;
  options.faults.stalls = {Pattern{"/inbox", std::regex("/inbox")}};  // until the stop
  start(options);
  auto c = client();
  // One connection: an answer written is logged before its thread reads the next request.
  c.set_keep_alive(true);
  const httplib::Headers auth = {{"Authorization", "Bearer " + token_}};
  for (int i = 0; i < 3; ++i) EXPECT_EQ(c.Get("/v1/projects", auth)->status, 200);

  const char* held = "GET /v1/projects/northwind/inbox";
  std::vector<std::thread> clients;
  for (int i = 0; i < 2; ++i) {
    clients.emplace_back([this, auth] {
      auto each = client();
      each.set_read_timeout(60, 0);
      (void)each.Get("/v1/projects/northwind/inbox", auth);
    });
  }
  json report = json::parse(c.Get("/demo/requests")->body);
  for (int i = 0; i < 1000 && report["paths"].value(held, 0) < 2; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    report = json::parse(c.Get("/demo/requests")->body);
  }
  service_->stop();  // ends the held answers
  for (auto& each : clients) each.join();

  EXPECT_EQ(report["paths"].value(held, 0), 2) << report;
  EXPECT_EQ(report["peaks"].value(held, 0), 2) << report;
  EXPECT_EQ(report["paths"]["GET /v1/projects"], 3);
  EXPECT_EQ(report["peaks"]["GET /v1/projects"], 1);
}

TEST_F(DemoServiceTest, ReachableAsLocalhost) {
  start();
  httplib::Client c("localhost", service_->port());
  auto res = c.Get("/v1/projects", {{"Authorization", "Bearer " + token_}});
  ASSERT_TRUE(res);
  EXPECT_EQ(res->status, 200);
  EXPECT_EQ(service_->baseAddress(), "http://localhost:" + std::to_string(service_->port()));
  EXPECT_EQ(json::parse(sessionDocument(service_->port(), token_)),
            json({{"api", service_->baseAddress()}, {"token", token_}}));
}

TEST_F(DemoServiceTest, UnknownPathsAnswerJsonNotFound) {
  auto res = get("/v1/nothing-here");
  ASSERT_TRUE(res);
  EXPECT_EQ(res->status, 404);
  EXPECT_TRUE(json::parse(res->body).contains("error"));
}

}  // namespace
}  // namespace vx::demo
