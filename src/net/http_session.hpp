#pragma once

#include <cstdint>
#include <future>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "net/origin.hpp"

namespace vx::net {

class BodyHold;

// A failure of the transport (no connection, time-out, oversized body, a body past the
// session's memory budget, a redirect out of the request's scope, shutdown); carries curl's
// error text or ours.
class TransportError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Request {
  std::string method = "GET";
  std::string url;  // absolute
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;
  // The request fails when it sees no progress for this long; unset: the session's default.
  double noProgressTimeoutSeconds = 0;
  // Where the request may follow redirects; a redirect beyond fails it, unsent.
  RedirectScope redirects = RedirectScope::sameOrigin;
};

struct Response {
  long status = 0;
  std::string body;
  // The body's share of the session's memory budget, given back when the last copy of this
  // response is gone: keep the response, not only its body, for as long as the body is used.
  std::shared_ptr<const BodyHold> hold;
};

// The process-wide HTTP session: one I/O thread drives every request; connections are kept
// alive and reused.
class HttpSession {
 public:
  // The product's limit of connections open at once to one host; 0: none. bench/README.md
  // holds the figures behind the choice.
  static constexpr long kMaxConnectionsPerHost = 0;
  // The product's limit of one response body, and of the bodies all requests hold at once
  // (four bodies at the limit).
  static constexpr std::size_t kMaxBodyBytes = 16u << 20;
  static constexpr std::size_t kMaxBodyBytesHeld = 4 * kMaxBodyBytes;

  struct Options {
    // A request fails when it sees no progress (no connection, less than one byte a second)
    // for this long.
    double noProgressTimeoutSeconds = 15;
    // A longer response body fails the request instead of filling memory.
    std::size_t maxBodyBytes = kMaxBodyBytes;
    // The memory the response bodies of all requests take together, decompressed, from their
    // first byte until their responses are gone. One refresh runs at a time per process, so
    // this bounds what a refresh holds. A request whose body would pass it fails instead.
    std::size_t maxBodyBytesHeld = kMaxBodyBytesHeld;
    // Connections open at once to one host (scheme, host and port); 0: no limit. Requests
    // beyond it wait for a connection to come free. HTTP/2 multiplexes everything over one
    // connection anyway, so this only matters for HTTP/1.1.
    long maxConnectionsPerHost = kMaxConnectionsPerHost;

    // The two below stay empty in the shipped programs. Test programs use them to reach a
    // local server under the service's real host name; certificates are checked as always.

    // Requests to HOST:PORT connect to ADDRESS instead of what HOST resolves to, each entry
    // written "HOST:PORT:ADDRESS".
    std::vector<std::string> resolve{};
    // A PEM file of the certificate authorities to trust instead of the system's.
    std::string caFile{};
  };

  // The process-wide session, created on first use with the product's options.
  static HttpSession& shared();
  // Replaces the shared session's options for requests sent from now on (tests shorten the
  // time-out this way).
  static void configureShared(Options options);

  explicit HttpSession(Options options);
  ~HttpSession();
  HttpSession(const HttpSession&) = delete;
  HttpSession& operator=(const HttpSession&) = delete;

  // Starts the request; the future yields the final response (redirects followed within the
  // request's scope) or throws TransportError.
  [[nodiscard]] std::future<Response> send(Request request);

  // Counts since the session started, for benchmarks and diagnostics: requests that finished
  // (in any way) and the connections curl had to open for them.
  struct Statistics {
    std::uint64_t requestsFinished = 0;
    std::uint64_t connectionsOpened = 0;
  };
  [[nodiscard]] Statistics statistics() const;

  [[nodiscard]] Options options() const;
  // Applies to requests sent from now on.
  void setOptions(Options options);

 private:
  class Engine;
  std::unique_ptr<Engine> engine_;
};

}  // namespace vx::net
