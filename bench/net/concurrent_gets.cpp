// N concurrent GETs through one HttpSession against the fake service, which answers each after a
// fixed delay. The fake runs in a child process, so the thread count and peak memory printed are
// those of the client alone.
//
//   bench_net_concurrent_gets [delay-ms=200] [N...=10 50 100]
//
// For each N, two batches one after the other: "cold" opens the connections, "warm" should
// reuse them. Printed per batch: wall time divided by the delay (1.0 means all N ran fully in
// parallel; N means one after the other), connections the fake accepted during the batch, the
// process's threads while the batch was in flight, and the peak resident memory so far.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "net/http_session.hpp"
#include "support/fake_service.hpp"

namespace {

using Clock = std::chrono::steady_clock;

// The fake, in a child process, driven over two pipes: it reports its port once, then answers
// each byte read with its count of accepted connections.
struct FakeProcess {
  pid_t pid = -1;
  int commands = -1;
  int replies = -1;
  int port = 0;

  FakeProcess(std::chrono::milliseconds delay, const std::string& body) {
    int down[2];
    int up[2];
    if (pipe(down) != 0 || pipe(up) != 0) std::exit(2);
    pid = fork();
    if (pid == 0) {
      close(down[1]);
      close(up[0]);
      vx::testing::FakeService fake;
      fake.otherwise(vx::testing::Answer{200, body}.after(delay));
      int listening = fake.port();
      if (write(up[1], &listening, sizeof listening) != sizeof listening) _exit(2);
      char command = 0;
      while (read(down[0], &command, 1) == 1) {
        std::size_t count = fake.connectionsAccepted();
        if (write(up[1], &count, sizeof count) != sizeof count) break;
      }
      fake.stop();
      _exit(0);
    }
    close(down[0]);
    close(up[1]);
    commands = down[1];
    replies = up[0];
    if (read(replies, &port, sizeof port) != sizeof port) std::exit(2);
  }

  std::size_t connections() const {
    char command = 'c';
    std::size_t count = 0;
    if (write(commands, &command, 1) != 1 || read(replies, &count, sizeof count) != sizeof count) {
      std::exit(2);
    }
    return count;
  }

  ~FakeProcess() {
    close(commands);
    close(replies);
    waitpid(pid, nullptr, 0);
  }
};

long threadsInProcess() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("Threads:", 0) == 0) return std::stol(line.substr(8));
  }
  return -1;
}

long peakRssKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

struct Batch {
  double ratio = 0;
  std::size_t connections = 0;
  long threads = 0;
  long failures = 0;
};

Batch run(vx::net::HttpSession& session, const FakeProcess& fake, int count,
          std::chrono::milliseconds delay) {
  Batch batch;
  const std::size_t before = fake.connections();
  const auto begin = Clock::now();
  std::vector<std::future<vx::net::Response>> futures;
  for (int i = 0; i < count; ++i) {
    vx::net::Request request;
    request.url = "http://localhost:" + std::to_string(fake.port) + "/v1/projects/p" +
                  std::to_string(i) + "/analytics/realtime";
    request.headers = {{"Authorization", "Bearer bench"}};
    futures.push_back(session.send(std::move(request)));
  }
  std::this_thread::sleep_for(delay / 2);
  batch.threads = threadsInProcess();
  for (auto& future : futures) {
    try {
      if (future.get().status != 200) ++batch.failures;
    } catch (const vx::net::TransportError&) {
      ++batch.failures;
    }
  }
  const std::chrono::duration<double> wall = Clock::now() - begin;
  batch.ratio = wall / std::chrono::duration<double>(delay);
  batch.connections = fake.connections() - before;
  return batch;
}

}  // namespace

int main(int argc, char** argv) {
  const std::chrono::milliseconds delay(argc > 1 ? std::atoi(argv[1]) : 200);
  std::vector<int> counts;
  for (int i = 2; i < argc; ++i) counts.push_back(std::atoi(argv[i]));
  if (counts.empty()) counts = {10, 50, 100};

  FakeProcess fake(delay, R"({"current_visitors": 42})");
  std::printf("delay %lld ms; threads before the session: %ld\n",
              static_cast<long long>(delay.count()), threadsInProcess());
  vx::net::HttpSession session(vx::net::HttpSession::Options{});
  std::printf(
      "| N | batch | wall / delay | connections opened | threads in flight | peak RSS "
      "(MiB) | failures |\n|---|---|---|---|---|---|---|\n");
  for (int count : counts) {
    for (const char* name : {"cold", "warm"}) {
      Batch batch = run(session, fake, count, delay);
      std::printf("| %d | %s | %.2f | %zu | %ld | %.1f | %ld |\n", count, name, batch.ratio,
                  batch.connections, batch.threads, peakRssKiB() / 1024.0, batch.failures);
    }
  }
  return 0;
}
