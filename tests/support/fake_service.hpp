#pragma once

// A scriptable stand-in for the service, for integration tests: a real HTTP/1.1 server on an
// ephemeral loopback port. Each answer is scripted per method and request target (path and
// query, byte for byte); every request is recorded.
//
//   vx::testing::FakeService fake;
//   fake.on("GET", "/v1/projects", {200, R"({"data": []})"});
//   auto base = fake.baseUrl();  // "http://localhost:PORT"
//   ... run the code under test against base ...
//   EXPECT_EQ(fake.requests().at(0).header("Authorization"), "Bearer T");
//
// "localhost" may resolve to ::1 or 127.0.0.1 and clients may try either first, so the service
// listens on the same port on both loopback addresses (or on 127.0.0.1 alone when the machine
// has no IPv6 loopback). A test thus never reaches another program that happens to hold the
// port on the other address.
//
// Connections are kept alive for as long as the client wants; stop() (also run by the
// destructor) ends idle and stalled connections at once, so it returns promptly.

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vx::testing {

namespace detail {
struct FakeState;
}

using Headers = std::vector<std::pair<std::string, std::string>>;

// How the fake answers one request: `{200, body}`, `{302, "", {{"Location", url}}}`,
// `Answer{200, body}.after(200ms)`.
struct Answer {
  Answer(int status = 200, std::string body = {}, Headers headers = {})
      : status(status), body(std::move(body)), headers(std::move(headers)) {}

  // Waits this long before sending anything back.
  Answer after(std::chrono::milliseconds wait) const {
    Answer copy = *this;
    copy.delay = wait;
    return copy;
  }
  // Sends the head (with the full Content-Length) and the first half of the body, then sends
  // nothing more until the fake stops.
  Answer stallingHalfway() const {
    Answer copy = *this;
    copy.stallHalfway = true;
    return copy;
  }
  // Sends the body with chunked transfer encoding, so the client cannot know its length up front.
  Answer inChunks() const {
    Answer copy = *this;
    copy.chunked = true;
    return copy;
  }

  int status;
  std::string body;
  // Extra response headers. Content-Type is "application/json" unless given here. Bodies of a
  // compressible type (JSON, text) go out compressed when the client accepts gzip or brotli.
  Headers headers;
  std::chrono::milliseconds delay{0};
  bool stallHalfway = false;
  bool chunked = false;
};

struct RecordedRequest {
  std::string method;
  std::string target;  // path and query exactly as sent
  Headers headers;     // as received (names as the client spelled them)
  std::string body;
  int remotePort = 0;  // the client's port: requests with equal ports shared one connection

  // The first header with this name (case-insensitive), or nothing.
  [[nodiscard]] std::optional<std::string> header(std::string_view name) const;
};

class FakeService {
 public:
  using Responder = std::function<Answer(const RecordedRequest&)>;

  // Starts listening at once; throws std::runtime_error when no port can be bound.
  FakeService();
  ~FakeService();
  FakeService(const FakeService&) = delete;
  FakeService& operator=(const FakeService&) = delete;

  // Scripts the answer to `method` + `target` (replacing an earlier script for the same pair).
  void on(const std::string& method, const std::string& target, Answer answer);
  // Computes the answer per request, on the connection's thread, after the request has been
  // recorded (so it may wait for others to arrive).
  void on(const std::string& method, const std::string& target, Responder responder);
  // The answer to every request without a script; initially 404 with an empty body.
  void otherwise(Answer answer);

  [[nodiscard]] int port() const;
  // "http://localhost:" + port.
  [[nodiscard]] std::string baseUrl() const;

  // Every request received so far, in arrival order.
  [[nodiscard]] std::vector<RecordedRequest> requests() const;
  // Those with this method and target.
  [[nodiscard]] std::vector<RecordedRequest> requests(std::string_view method,
                                                      std::string_view target) const;
  [[nodiscard]] std::size_t requestCount() const;
  // Waits until at least `count` requests arrived; false when the time ran out first.
  [[nodiscard]] bool waitForRequests(
      std::size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;
  void clearRequests();

  // TCP connections accepted so far (on either address).
  [[nodiscard]] std::size_t connectionsAccepted() const;

  // Stops listening, wakes delayed and stalled answers, closes every connection and joins the
  // server's threads. Idempotent.
  void stop();

 private:
  class Listener;
  std::shared_ptr<detail::FakeState> state_;
  std::vector<std::unique_ptr<Listener>> listeners_;
  int port_ = 0;
};

}  // namespace vx::testing
