// A full refresh of ten projects with a period against the demo service, which answers every
// request after a fixed latency, and the fast path from a fresh cache.
//
//   bench_refresh [latency-ms=50] [fast-path-calls=2000] [warm]
//
// The full refresh waits for three dependent round trips at best (kChain): the project list;
// then, side by side, every entry's requests and every project's period summary and series;
// then, once a project's summary is in, its previous period's series and its two goal reports.
// Printed: wall time divided by kChain × latency (1.0 would be
// perfect), requests sent, connections opened, the most threads seen at once, peak resident
// memory, and the time this process and the service spent on a processor during the refresh. A
// second full refresh in the same process shows whether connections were kept. Run it also with
// latency 0 to see the service's own processing time, which the ratio includes. With "warm", a
// refresh in another process goes first (see warm_service.hpp): the service has worked out its
// figures once, while this process is as cold as without. Then the fast path:
// `current` answered from a fresh cached snapshot of ten projects holding 1,000 waiting items.

#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "demo_process.hpp"
#include "model/clock.hpp"
#include "net/http_session.hpp"
#include "refresh/fetcher.hpp"
#include "store/shared_store.hpp"
#include "warm_service.hpp"

namespace {

namespace fs = std::filesystem;
using Steady = std::chrono::steady_clock;

int threadCount() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("Threads:", 0) == 0) return std::atoi(line.c_str() + 8);
  }
  return 0;
}

double peakRssMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Samples the process's thread count every 5 ms (threads of a refresh live for tens of
// milliseconds; reading the count more often would take time from the refresh) until stopped.
class ThreadWatch {
 public:
  ThreadWatch()
      : sampler_([this] {
          while (!stop_) {
            int now = threadCount() - 1;  // less the sampler itself
            if (now > peak_) peak_ = now;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
          }
        }) {}
  int finish() {
    stop_ = true;
    sampler_.join();
    return peak_;
  }

 private:
  std::atomic<bool> stop_{false};
  std::atomic<int> peak_{0};
  std::thread sampler_;
};

void fullRefresh(const char* label, int latencyMs, const vx::bench::DemoProcess& demo) {
  auto& session = vx::net::HttpSession::shared();
  const auto before = session.statistics();
  const double demoCpuBefore = demo.cpuMs();
  const double ownCpuBefore = vx::bench::ownCpuMs();
  ThreadWatch threads;
  const auto start = Steady::now();
  auto outcome = vx::refresh::Fetcher::shared().current(vx::WidgetPeriod::days28);
  const double seconds = std::chrono::duration<double>(Steady::now() - start).count();
  const double ownCpu = vx::bench::ownCpuMs() - ownCpuBefore;
  const double demoCpu = demo.cpuMs() - demoCpuBefore;
  const int peakThreads = threads.finish();
  const auto after = session.statistics();
  const char* kind =
      outcome.kind == vx::refresh::Fetcher::Outcome::Kind::fresh ? "fresh" : "not fresh";
  const double ratio = latencyMs > 0 ? seconds / (vx::bench::kChain * latencyMs / 1000.0) : 0;
  std::printf(
      "%-8s %-9s wall %6.0f ms  ratio %4.2f  requests %3llu  connections %3llu  peak threads %2d  "
      "peak RSS %.1f MiB  CPU: ours %.0f ms, service %.0f ms\n",
      label, kind, seconds * 1000, ratio,
      static_cast<unsigned long long>(after.requestsFinished - before.requestsFinished),
      static_cast<unsigned long long>(after.connectionsOpened - before.connectionsOpened),
      peakThreads, peakRssMiB(), ownCpu, demoCpu);
}

vx::Snapshot bigSnapshot(vx::Time at) {
  vx::Snapshot snapshot;
  snapshot.at = at;
  snapshot.projectCount = 10;
  for (int p = 0; p < 10; ++p) {
    vx::ProjectEntry entry;
    entry.name = "site" + std::to_string(p) + ".example";
    entry.slug = "site" + std::to_string(p);
    entry.faviconLetter = "S";
    entry.faviconColor = "#06b6d4";
    for (int i = 0; i < 100; ++i) {
      vx::WaitingItem item;
      item.id = "conversation:" + std::to_string(p) + "-" + std::to_string(i);
      item.action = "Reply to Visitor " + std::to_string(i);
      item.privateAction = "Reply to a visitor";
      item.detail = "Hello, I have a question about my order number " + std::to_string(i);
      item.site = entry.name;
      item.slug = entry.slug;
      item.since = at - std::chrono::minutes(i * 7 + p);
      item.path = "/app/projects/" + entry.slug + "/inbox/" + item.id;
      entry.waiting.push_back(item);
    }
    entry.waitingConversations = 100;
    snapshot.projects.push_back(entry);
  }
  return snapshot;
}

}  // namespace

int main(int argc, char** argv) {
  const int latencyMs = argc > 1 ? std::atoi(argv[1]) : 50;
  const int calls = argc > 2 ? std::atoi(argv[2]) : 2000;
  const bool warm = argc > 3 && std::string(argv[3]) == "warm";
  char pattern[] = "/tmp/vx-bench-refresh-XXXXXX";
  if (!mkdtemp(pattern)) return 1;
  const fs::path home = pattern;
  setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
  {
    vx::bench::DemoProcess demo(home / "ready", latencyMs);
    auto folder = vx::SharedStore::folder();
    if (!folder) return 1;
    std::ofstream(*folder / "session.json") << demo.session;

    std::printf("full refresh of 10 projects, period days28, %d ms per request\n", latencyMs);
    vx::clock::pin(std::chrono::floor<vx::Time::duration>(std::chrono::system_clock::now()));
    if (warm) vx::bench::warmService(demo.session, home / "warming");
    fullRefresh("cold", latencyMs, demo);
    // Everything to fetch again. The clock stays where it is: pinned ahead of the system's, the
    // refresh would not write the snapshot, and writing it is part of a refresh's time.
    vx::SharedStore::forgetSnapshot();
    fullRefresh("again", latencyMs, demo);

    vx::SharedStore::save(bigSnapshot(vx::clock::now()));
    const auto start = Steady::now();
    std::size_t items = 0;
    for (int i = 0; i < calls; ++i) {
      auto outcome = vx::refresh::Fetcher::shared().current(std::nullopt);
      items += outcome.snapshot ? outcome.snapshot->waiting().size() : 0;
    }
    const double perCall =
        std::chrono::duration<double, std::micro>(Steady::now() - start).count() / calls;
    std::printf("fast path: %.0f us per call (10 projects, %zu waiting items merged per call)\n",
                perCall, items / static_cast<std::size_t>(calls));
  }
  fs::remove_all(home);
  return 0;
}
