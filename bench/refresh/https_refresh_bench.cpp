// A full refresh of ten projects with a period through a real nginx in front of the demo
// service, which answers every request after a fixed latency: over TLS with HTTP/2, over TLS
// with HTTP/1.1 only, and over plain HTTP/1.1, each with no limit and with 6 connections per
// host.
//
//   bench_refresh_https [latency-ms=50] [way]
//
// The demo service answers a refresh once before the ways are measured (see warm_service.hpp):
// otherwise the first way would pay for the service's first answers alone.
// With a way (h2, h2-6, tls11, tls11-6, plain, plain-6) only that one runs, so that the memory
// figures are its own: peak resident memory, and the footprint (private dirty memory plus
// swap) right after the refresh, with its connections still kept.
// Each way of connecting has a port of its own (so it starts without kept connections or TLS
// sessions) and runs two full refreshes, "cold" and "again" with the snapshot removed between.
// Printed per refresh: wall time divided by kChain × latency (three dependent round trips at
// best, see bench_refresh; the latency is the service's, added to each answer, so TCP and TLS
// set-up add none of it and show only in the wall time), requests, connections the client
// opened, and the TLS handshakes the server saw (new connections; "resumed" counts those that
// reused an earlier TLS session).

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "config/build_config.hpp"
#include "demo_process.hpp"
#include "model/clock.hpp"
#include "net/http_session.hpp"
#include "refresh/fetcher.hpp"
#include "store/shared_store.hpp"
#include "support/nginx_server.hpp"
#include "support/test_certificates.hpp"
#include "warm_service.hpp"

namespace {

namespace fs = std::filesystem;
using Steady = std::chrono::steady_clock;

struct Way {
  const char* listener;
  const char* label;
  bool tls;
  bool http2;
  long maxConnectionsPerHost;
};

const Way kWays[] = {
    {"h2", "TLS, HTTP/2", true, true, 0},
    {"h2-6", "TLS, HTTP/2, 6 per host", true, true, 6},
    {"tls11", "TLS, HTTP/1.1", true, false, 0},
    {"tls11-6", "TLS, HTTP/1.1, 6 per host", true, false, 6},
    {"plain", "HTTP/1.1", false, false, 0},
    {"plain-6", "HTTP/1.1, 6 per host", false, false, 6},
};

std::string apiBase(const Way& way, int port) {
  return way.tls ? "https://" + std::string(vx::config::kApiHost) + ":" + std::to_string(port)
                 : "http://localhost:" + std::to_string(port);
}

int demoPort(const std::string& session) {
  const std::string api = nlohmann::json::parse(session).at("api").get<std::string>();
  return std::atoi(api.substr(api.rfind(':') + 1).c_str());
}

double peakRssMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Private dirty memory plus swap, the footprint a widget extension is held to.
double footprintMiB() {
  std::ifstream rollup("/proc/self/smaps_rollup");
  std::string name;
  double total = 0;
  while (rollup >> name) {
    double kib = 0;
    if ((name == "Private_Dirty:" || name == "Swap:") && rollup >> kib) total += kib;
  }
  return total / 1024.0;
}

struct Measured {
  double seconds = 0;
  std::uint64_t requests = 0;
  std::uint64_t connections = 0;
};

Measured fullRefresh() {
  auto& session = vx::net::HttpSession::shared();
  const auto before = session.statistics();
  const auto start = Steady::now();
  auto outcome = vx::refresh::Fetcher::shared().current(vx::WidgetPeriod::days28);
  Measured measured;
  measured.seconds = std::chrono::duration<double>(Steady::now() - start).count();
  const auto after = session.statistics();
  measured.requests = after.requestsFinished - before.requestsFinished;
  measured.connections = after.connectionsOpened - before.connectionsOpened;
  if (outcome.kind != vx::refresh::Fetcher::Outcome::Kind::fresh) {
    std::fprintf(stderr, "a refresh was not fresh\n");
    std::exit(1);
  }
  return measured;
}

// New connections the server saw among the logged requests from `from` on (TLS: one
// handshake each), and how many of those resumed an earlier TLS session.
struct Handshakes {
  std::size_t full = 0;
  std::size_t resumed = 0;
};

Handshakes handshakes(const std::vector<vx::testing::ProxiedRequest>& log, std::size_t from,
                      std::set<std::uint64_t>& seen) {
  Handshakes counted;
  for (std::size_t i = from; i < log.size(); ++i) {
    if (!seen.insert(log[i].connection).second || log[i].alpn.empty()) continue;
    ++(log[i].sessionReused ? counted.resumed : counted.full);
  }
  return counted;
}

// Signs in to nginx's port for `way` in a shared folder of its own, with the session options
// of a test program: the API host and "localhost" resolve to that port on 127.0.0.1, and the
// benchmark's authority is trusted.
void signIn(const Way& way, int port, const fs::path& home, const std::string& demoSession) {
  vx::net::HttpSession::Options options;
  options.maxConnectionsPerHost = way.maxConnectionsPerHost;
  options.caFile = (home / "ca.pem").string();
  options.resolve = {std::string(vx::config::kApiHost) + ":" + std::to_string(port) + ":127.0.0.1",
                     "localhost:" + std::to_string(port) + ":127.0.0.1"};
  vx::net::HttpSession::configureShared(options);

  setenv("XDG_DATA_HOME", (home / ("data-" + std::string(way.listener))).c_str(), 1);
  auto folder = vx::SharedStore::folder();
  if (!folder) {
    std::fprintf(stderr, "no shared folder\n");
    std::exit(1);
  }
  nlohmann::json session = nlohmann::json::parse(demoSession);
  session["api"] = apiBase(way, port);
  std::ofstream(*folder / "session.json") << session.dump();
}

// Counts what the server logged since the last call.
class ServerLog {
 public:
  explicit ServerLog(const vx::testing::NginxServer& nginx) : nginx_(nginx) {}

  Handshakes after(std::uint64_t requests) {
    sent_ += requests;
    if (!nginx_.waitForRequests(sent_)) {
      std::fprintf(stderr, "nginx did not log every request\n");
      std::exit(1);
    }
    const auto log = nginx_.requests();
    const Handshakes counted = handshakes(log, logged_, seen_);
    logged_ = log.size();
    return counted;
  }

 private:
  const vx::testing::NginxServer& nginx_;
  std::set<std::uint64_t> seen_;
  std::size_t logged_ = 0;
  std::uint64_t sent_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  const int latencyMs = argc > 1 ? std::atoi(argv[1]) : 50;
  const std::string only = argc > 2 ? argv[2] : "";
  if (!vx::testing::NginxServer::program()) {
    std::fprintf(stderr, "nginx is not installed (scripts/setup.sh installs it)\n");
    return 1;
  }
  for (const char* name : {"http_proxy", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"}) {
    unsetenv(name);
  }
  char pattern[] = "/tmp/vx-bench-https-XXXXXX";
  if (!mkdtemp(pattern)) return 1;
  const fs::path home = pattern;
  {
    vx::bench::DemoProcess demo(home / "ready", latencyMs);
    vx::bench::warmService(demo.session, home / "warming");
    vx::testing::CertificateAuthority authority("Benchmark authority");
    const auto certificate = authority.issue(vx::config::kApiHost);
    std::ofstream(home / "ca.pem") << authority.certificatePem();

    std::vector<vx::testing::NginxListener> listeners;
    for (const Way& way : kWays) {
      listeners.push_back(
          {way.listener, way.tls ? std::optional(certificate) : std::nullopt, way.http2});
    }
    vx::testing::NginxServer nginx(home / "nginx", demoPort(demo.session), listeners);
    ServerLog serverLog(nginx);

    std::printf("full refresh of 10 projects, period days28, %d ms per request, through nginx\n",
                latencyMs);
    std::printf("%-27s %-6s %8s %6s %9s %12s %17s%s\n", "way", "refresh", "wall ms", "ratio",
                "requests", "connections", "handshakes",
                only.empty() ? "" : "  peak RSS  footprint");
    for (const Way& way : kWays) {
      if (!only.empty() && only != way.listener) continue;
      signIn(way, nginx.port(way.listener), home, demo.session);
      vx::clock::pin(std::chrono::floor<vx::Time::duration>(std::chrono::system_clock::now()));
      for (const char* refresh : {"cold", "again"}) {
        const Measured measured = fullRefresh();
        const Handshakes counted = serverLog.after(measured.requests);
        const double ratio =
            latencyMs > 0 ? measured.seconds / (vx::bench::kChain * latencyMs / 1000.0) : 0;
        std::printf("%-27s %-6s %8.0f %6.2f %9llu %12llu %5zu (%zu resumed)", way.label, refresh,
                    measured.seconds * 1000, ratio,
                    static_cast<unsigned long long>(measured.requests),
                    static_cast<unsigned long long>(measured.connections),
                    counted.full + counted.resumed, counted.resumed);
        // Memory is the process's own only when one way runs.
        if (!only.empty()) std::printf(" %5.1f MiB %5.1f MiB", peakRssMiB(), footprintMiB());
        std::printf("\n");
        // Everything to fetch again; a clock moved ahead would keep the snapshot from being
        // written.
        vx::SharedStore::forgetSnapshot();
      }
    }
  }
  fs::remove_all(home);
  return 0;
}
