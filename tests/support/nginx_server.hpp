#pragma once

// A real nginx in front of a local HTTP service, for integration tests and benchmarks: started
// as a child process with a configuration written for it into a scratch folder (certificates,
// logs, temporary files and pid file all stay there), listening on free loopback ports and
// proxying every request to the service over HTTP/1.1 with kept-alive connections. It stops
// with this object, and also when the thread that started it ends (a killed test leaves no
// server behind), so start it on a thread that outlives it, such as the test's own.
//
//   vx::testing::NginxServer nginx(scratch, service.port(),
//                               {{"h2", authority.issue("api.example.test")}});
//   ... send requests to https://api.example.test:<nginx.port("h2")> ...
//   for (const auto& r : nginx.requests()) ... r.protocol, r.connection, r.alpn ...
//
// Every request nginx receives is recorded in its access log, which requests() reads: no
// secret goes into it (only whether an Authorization header came).

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/process.hpp"
#include "support/test_certificates.hpp"

namespace vx::testing {

// One listening port.
struct NginxListener {
  std::string name;                      // how the test refers to it
  std::optional<IssuedCertificate> tls;  // nothing: plain HTTP
  bool http2 = true;                     // offered through ALPN (over TLS only)
  bool outdatedTls = false;              // TLS 1.0 and 1.1 only, as an outdated server
};

// One request as nginx recorded it.
struct ProxiedRequest {
  std::string listener;
  std::uint64_t connection = 0;  // nginx's serial number of the connection that carried it
  std::string protocol;          // "HTTP/2.0", "HTTP/1.1"
  std::string alpn;              // "h2", "http/1.1"; empty over plain HTTP or without ALPN
  bool sessionReused = false;    // the connection's TLS handshake resumed an earlier session
  int status = 0;
  std::string target;  // path and query
  bool authorization = false;
};

class NginxServer {
 public:
  // The installed nginx program, or nothing (scripts/setup.sh installs it).
  [[nodiscard]] static std::optional<std::filesystem::path> program();

  // Starts nginx with `listeners`, each on a free port of 127.0.0.1, in `scratch` (which must
  // exist and stay until this object is gone), proxying to http://127.0.0.1:upstreamPort.
  // Returns once every port accepts connections. Throws std::runtime_error, with nginx's
  // error log, when nginx is missing or does not start.
  NginxServer(std::filesystem::path scratch, int upstreamPort,
              std::vector<NginxListener> listeners);
  ~NginxServer();
  NginxServer(const NginxServer&) = delete;
  NginxServer& operator=(const NginxServer&) = delete;

  [[nodiscard]] int port(std::string_view listener) const;

  // Every request logged so far, in the order nginx finished them. nginx logs a request just
  // after its answer has gone out, so a test that has just received answers waits for them
  // with waitForRequests().
  [[nodiscard]] std::vector<ProxiedRequest> requests() const;
  [[nodiscard]] bool waitForRequests(
      std::size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;

  // Stops nginx at once (open connections are closed). Idempotent.
  void stop();

 private:
  // Writes the configuration with the current ports and starts nginx; false when a port was
  // taken meanwhile (the caller picks others and tries again).
  bool start();
  [[nodiscard]] std::string configuration() const;

  std::filesystem::path program_;
  std::filesystem::path scratch_;
  int upstreamPort_ = 0;
  std::vector<NginxListener> listeners_;
  std::vector<int> ports_;
  std::optional<ChildProcess> process_;
};

}  // namespace vx::testing
