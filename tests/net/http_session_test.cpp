#include "net/http_session.hpp"

#include <gtest/gtest.h>

#include <chrono>

#include "support/fake_service.hpp"
#include "support/scratch.hpp"

namespace vx::net {
namespace {

using namespace std::chrono_literals;
using testing::Answer;
using testing::FakeService;

// A session of its own per test, with a short no-progress time-out so stalls end quickly.
HttpSession::Options quick() {
  HttpSession::Options options;
  options.noProgressTimeoutSeconds = 1;
  return options;
}

Request get(const std::string& url, std::vector<std::pair<std::string, std::string>> headers = {}) {
  Request request;
  request.url = url;
  request.headers = std::move(headers);
  return request;
}

// The transport error's text, or "" when the request succeeded.
std::string transportFailure(std::future<Response> future) {
  try {
    (void)future.get();
  } catch (const TransportError& error) {
    return error.what();
  }
  return "";
}

TEST(HttpSessionRequests, DeliversStatusAndBodyAndSendsHeaders) {
  FakeService fake;
  fake.on("GET", "/v1/a?x=1&y=%20", {404, R"({"error":"nope"})"});
  HttpSession session(quick());

  Response response =
      session.send(get(fake.baseUrl() + "/v1/a?x=1&y=%20", {{"X-Token", "t"}})).get();
  EXPECT_EQ(response.status, 404);
  EXPECT_EQ(response.body, R"({"error":"nope"})");
  auto recorded = fake.requests().at(0);
  EXPECT_EQ(recorded.target, "/v1/a?x=1&y=%20");
  EXPECT_EQ(recorded.header("X-Token"), "t");
}

TEST(HttpSessionRequests, SendsMethodAndBody) {
  FakeService fake;
  fake.otherwise({204});
  HttpSession session(quick());

  Request post = get(fake.baseUrl() + "/post", {{"Content-Type", "application/json"}});
  post.method = "POST";
  post.body = std::string(5000, 'b');  // large enough that curl would ask to continue
  Request remove = get(fake.baseUrl() + "/remove/abc");
  remove.method = "DELETE";
  EXPECT_EQ(session.send(post).get().status, 204);
  EXPECT_EQ(session.send(remove).get().status, 204);

  auto log = fake.requests();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].method, "POST");
  EXPECT_EQ(log[0].body, post.body);
  EXPECT_EQ(log[0].header("Content-Type"), "application/json");
  EXPECT_FALSE(log[0].header("Expect"));
  EXPECT_EQ(log[1].method, "DELETE");
  EXPECT_EQ(log[1].body, "");
}

TEST(HttpSessionRequests, HeaderWithLineBreakIsRefusedUnsent) {
  FakeService fake;
  HttpSession session(quick());
  for (const std::string& bad :
       {std::string("T\r\nX-Injected: 1"), std::string("T\nX"), std::string("T\0X", 3)}) {
    EXPECT_FALSE(transportFailure(session.send(get(fake.baseUrl() + "/", {{"Authorization", bad}})))
                     .empty());
  }
  EXPECT_EQ(fake.requestCount(), 0u);
}

TEST(HttpSessionRequests, UnreachableServerIsTransportErrorWithCurlsText) {
  int port = 0;
  {
    FakeService gone;
    port = gone.port();
  }
  HttpSession session(quick());
  std::string failure =
      transportFailure(session.send(get("http://localhost:" + std::to_string(port) + "/")));
  EXPECT_FALSE(failure.empty());
  EXPECT_FALSE(transportFailure(session.send(get("ftp://localhost/x"))).empty());
}

TEST(HttpSessionConcurrency, HundredRequestsAreInFlightAtOnce) {
  constexpr std::size_t kCount = 100;
  FakeService fake;
  // No request is answered before all of them have arrived: only possible if the session
  // really runs them at the same time.
  for (std::size_t i = 0; i < kCount; ++i) {
    fake.on("GET", "/r/" + std::to_string(i), [&fake, i](const testing::RecordedRequest&) {
      bool all = fake.waitForRequests(kCount, 20s);
      return Answer{all ? 200 : 500, std::to_string(i)};
    });
  }
  HttpSession session(quick());
  std::vector<std::future<Response>> futures;
  for (std::size_t i = 0; i < kCount; ++i) {
    futures.push_back(session.send(get(fake.baseUrl() + "/r/" + std::to_string(i))));
  }
  for (std::size_t i = 0; i < kCount; ++i) {
    Response response = futures[i].get();
    EXPECT_EQ(response.status, 200);
    EXPECT_EQ(response.body, std::to_string(i));
  }
}

TEST(HttpSessionConcurrency, ConnectionsAreReusedAcrossBatches) {
  FakeService fake;
  fake.otherwise(Answer{200, "{}"}.after(50ms));
  HttpSession session(quick());
  auto batch = [&] {
    std::vector<std::future<Response>> futures;
    for (int i = 0; i < 20; ++i) futures.push_back(session.send(get(fake.baseUrl() + "/b")));
    for (auto& future : futures) EXPECT_EQ(future.get().status, 200);
  };
  batch();
  std::size_t afterFirst = fake.connectionsAccepted();
  EXPECT_LE(afterFirst, 20u);
  batch();
  EXPECT_EQ(session.send(get(fake.baseUrl() + "/one")).get().status, 200);
  EXPECT_EQ(fake.connectionsAccepted(), afterFirst);
  // The session's own count agrees with the server's.
  EXPECT_EQ(session.statistics().connectionsOpened, afterFirst);
  EXPECT_EQ(session.statistics().requestsFinished, 41u);
}

TEST(HttpSessionConcurrency, PerHostLimitQueuesRequestsBeyondItUntilLifted) {
  FakeService fake;
  fake.otherwise(Answer{200, "{}"}.after(50ms));
  HttpSession::Options options = quick();
  options.maxConnectionsPerHost = 2;
  HttpSession session(options);
  auto batch = [&] {
    std::vector<std::future<Response>> futures;
    for (int i = 0; i < 12; ++i) futures.push_back(session.send(get(fake.baseUrl() + "/b")));
    for (auto& future : futures) EXPECT_EQ(future.get().status, 200);
  };
  batch();
  EXPECT_LE(session.statistics().connectionsOpened, 2u);
  // Lifted for later requests: the next batch opens what it needs.
  options.maxConnectionsPerHost = 0;
  session.setOptions(options);
  batch();
  EXPECT_GT(session.statistics().connectionsOpened, 2u);
}

TEST(HttpSessionRouting, ResolveListPointsAHostNameAtALocalServer) {
  testing::WithoutProxies direct;
  FakeService fake;
  fake.on("GET", "/where", {200, "here"});
  const std::string host = "api.example.invalid:" + std::to_string(fake.port());
  HttpSession::Options options = quick();
  options.resolve = {host + ":127.0.0.1"};
  HttpSession session(options);
  Response response = session.send(get("http://" + host + "/where")).get();
  EXPECT_EQ(response.body, "here");
  ASSERT_EQ(fake.requestCount(), 1u);
  EXPECT_EQ(fake.requests()[0].header("Host"), host);
}

TEST(HttpSessionTimeouts, StalledBodyFailsAfterNoProgressTimeout) {
  FakeService fake;
  fake.on("GET", "/stall", Answer{200, std::string(4000, 'x')}.stallingHalfway());
  HttpSession session(quick());
  // Caught by the session's own watch, not seconds later by curl's averaged speed check.
  EXPECT_NE(transportFailure(session.send(get(fake.baseUrl() + "/stall"))).find("no progress"),
            std::string::npos);
}

TEST(HttpSessionTimeouts, SilentServerFailsAndRequestCanExtendTheTimeout) {
  FakeService fake;
  fake.on("GET", "/slow", Answer{200, "late"}.after(2500ms));
  HttpSession session(quick());
  EXPECT_FALSE(transportFailure(session.send(get(fake.baseUrl() + "/slow"))).empty());

  Request patient = get(fake.baseUrl() + "/slow");
  patient.noProgressTimeoutSeconds = 10;
  EXPECT_EQ(session.send(patient).get().body, "late");
}

TEST(HttpSessionRedirects, SameOriginKeepsAuthorization) {
  FakeService fake;
  fake.on("GET", "/from", {302, "", {{"Location", "/to?q=1"}}});
  fake.on("GET", "/to?q=1", {200, "arrived"});
  HttpSession session(quick());
  Response response =
      session.send(get(fake.baseUrl() + "/from", {{"Authorization", "Bearer T"}})).get();
  EXPECT_EQ(response.body, "arrived");
  ASSERT_EQ(fake.requests("GET", "/to?q=1").size(), 1u);
  EXPECT_EQ(fake.requests("GET", "/to?q=1")[0].header("Authorization"), "Bearer T");
}

TEST(HttpSessionRedirects, LeavingTheOriginFailsWithoutSendingTheRequest) {
  FakeService origin;
  FakeService other;
  other.otherwise({200, "elsewhere"});
  origin.on("GET", "/port", {302, "", {{"Location", other.baseUrl() + "/landed"}}});
  origin.on("GET", "/host",
            {307, "", {{"Location", "http://127.0.0.1:" + std::to_string(origin.port()) + "/h"}}});
  HttpSession session(quick());
  // Plain http elsewhere is out of either scope.
  for (auto scope : {RedirectScope::sameOrigin, RedirectScope::sameOriginOrHttps}) {
    for (const char* path : {"/port", "/host"}) {
      Request request = get(origin.baseUrl() + path, {{"Authorization", "Bearer T"}});
      request.redirects = scope;
      EXPECT_NE(transportFailure(session.send(request)).find("redirect"), std::string::npos);
    }
  }
  EXPECT_EQ(other.requestCount(), 0u);
  EXPECT_TRUE(origin.requests("GET", "/h").empty());
}

TEST(HttpSessionBodyLimit, ProductLimitIsSixteenMebibytes) {
  constexpr std::size_t kLimit = 16u << 20;
  FakeService fake;
  // Not a compressible type: the fake would spend seconds compressing 16 MiB.
  const testing::Headers binary = {{"Content-Type", "application/octet-stream"}};
  fake.on("GET", "/fits", {200, std::string(kLimit, 'a'), binary});
  fake.on("GET", "/over", {200, std::string(kLimit + 1, 'a'), binary});
  HttpSession session(quick());
  EXPECT_EQ(session.send(get(fake.baseUrl() + "/fits")).get().body.size(), kLimit);
  EXPECT_NE(transportFailure(session.send(get(fake.baseUrl() + "/over"))).find("larger than"),
            std::string::npos);
}

TEST(HttpSessionBodyLimit, BodyWithoutAnnouncedLengthIsCutOffToo) {
  FakeService fake;
  fake.on("GET", "/fits", Answer{200, std::string(1000, 'a')}.inChunks());
  fake.on("GET", "/over", Answer{200, std::string(100000, 'a')}.inChunks());
  HttpSession::Options options = quick();
  options.maxBodyBytes = 1000;
  HttpSession session(options);
  EXPECT_EQ(session.send(get(fake.baseUrl() + "/fits")).get().body.size(), 1000u);
  EXPECT_NE(transportFailure(session.send(get(fake.baseUrl() + "/over"))).find("larger than"),
            std::string::npos);
}

TEST(HttpSessionBodyLimit, StatusOtherThan200IsDeliveredWhateverTheBodySize) {
  FakeService fake;
  const std::string big(100000, 'a');
  // Not a compressible type, so the length announced is the body's own.
  fake.on("GET", "/announced", Answer{401, big, {{"Content-Type", "application/octet-stream"}}});
  fake.on("GET", "/chunked", Answer{401, big}.inChunks());
  fake.on("GET", "/created", Answer{201, big}.inChunks());
  fake.on("GET", "/ok", Answer{200, big});
  HttpSession::Options options = quick();
  options.maxBodyBytes = 1000;
  HttpSession session(options);
  for (const char* path : {"/announced", "/chunked"}) {
    const Response response = session.send(get(fake.baseUrl() + path)).get();
    EXPECT_EQ(response.status, 401) << path;
    EXPECT_EQ(response.body, "") << path;
  }
  EXPECT_EQ(session.send(get(fake.baseUrl() + "/created")).get().status, 201);
  EXPECT_NE(transportFailure(session.send(get(fake.baseUrl() + "/ok"))).find("larger than"),
            std::string::npos);
}

TEST(HttpSessionBodyLimit, AnswersHeldAtOnceStayWithinTheSessionsLimitOnceInflated) {
  FakeService fake;
  // JSON goes out gzip-compressed: some tens of bytes on the wire, 1002 once inflated.
  fake.otherwise({200, std::string(1000, ' ') + "{}"});
  HttpSession::Options options = quick();
  options.maxBodyBytesHeld = 2500;
  HttpSession session(options);
  Response first = session.send(get(fake.baseUrl() + "/1")).get();
  const Response second = session.send(get(fake.baseUrl() + "/2")).get();
  EXPECT_NE(transportFailure(session.send(get(fake.baseUrl() + "/3"))).find("limit"),
            std::string::npos);
  first = {};  // its bytes are given back
  EXPECT_EQ(session.send(get(fake.baseUrl() + "/3")).get().body.size(), 1002u);
}

TEST(HttpSessionShutdown, PendingRequestsFailWhenTheSessionEnds) {
  FakeService fake;
  fake.otherwise(Answer{200, "never"}.after(30s));
  std::vector<std::future<Response>> futures;
  {
    HttpSession session(HttpSession::Options{});
    for (int i = 0; i < 10; ++i) futures.push_back(session.send(get(fake.baseUrl() + "/p")));
    ASSERT_TRUE(fake.waitForRequests(10));
  }
  for (auto& future : futures) {
    EXPECT_NE(transportFailure(std::move(future)).find("closed"), std::string::npos);
  }
}

TEST(HttpSessionShared, OptionsCanBeChangedForLaterRequests) {
  HttpSession::Options original = HttpSession::shared().options();
  EXPECT_EQ(original.noProgressTimeoutSeconds, 15);
  EXPECT_EQ(original.maxBodyBytes, 16u << 20);
  EXPECT_EQ(original.maxBodyBytesHeld, 64u << 20);
  HttpSession::configureShared(quick());
  EXPECT_EQ(HttpSession::shared().options().noProgressTimeoutSeconds, 1);

  FakeService fake;
  fake.otherwise(Answer{200, "late"}.after(2500ms));
  EXPECT_FALSE(transportFailure(HttpSession::shared().send(get(fake.baseUrl() + "/"))).empty());
  HttpSession::configureShared(original);
}

TEST(HttpSessionShared, ProcessExitsCleanlyWithRequestsInFlight) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        FakeService fake;
        fake.otherwise(Answer{200, "never"}.after(30s));
        auto pending = HttpSession::shared().send(get(fake.baseUrl() + "/"));
        if (!fake.waitForRequests(1)) std::_Exit(3);
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace vx::net
