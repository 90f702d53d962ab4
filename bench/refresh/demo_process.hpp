#pragma once

// The demo service as a child process for the refresh benchmarks, so that its threads and
// memory are not counted as the client's: ten projects, a fixed latency on every answer.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <thread>

namespace vx::bench {

// The dependent round trips of a full refresh with a period: the project list; the entries and
// the period's summaries and series; the previous period's series and the goal reports.
inline constexpr int kChain = 3;

// Time spent on a processor so far, in milliseconds: this process's (every thread, gone ones
// included) or, for another process, the sum over its threads still running (the demo service
// keeps its worker threads, so none of a refresh's work is lost that way).
inline double ownCpuMs() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto ms = [](timeval t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

inline double cpuMsOf(pid_t pid) {
  double total = 0;
  std::error_code error;
  const std::filesystem::path tasks = "/proc/" + std::to_string(pid) + "/task";
  for (const auto& task : std::filesystem::directory_iterator(tasks, error)) {
    std::ifstream in(task.path() / "schedstat");
    double nanoseconds = 0;
    if (in >> nanoseconds) total += nanoseconds / 1e6;
  }
  return total;
}

struct DemoProcess {
  pid_t pid = -1;
  std::string session;  // the session document that signs in to it

  DemoProcess(const std::filesystem::path& readyFile, int latencyMs) {
    pid = fork();
    if (pid == 0) {
      if (std::freopen("/dev/null", "w", stdout) == nullptr) _exit(127);
      const std::string latency = std::to_string(latencyMs);
      execl(VX_DEMO_SERVICE_PATH, VX_DEMO_SERVICE_PATH, "--port", "0", "--projects", "10",
            "--latency-ms", latency.c_str(), "--ready-file", readyFile.c_str(), nullptr);
      _exit(127);
    }
    for (int i = 0; i < 1000 && session.empty(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      std::ifstream in(readyFile);
      std::getline(in, session);
    }
    if (session.empty()) {
      std::fprintf(stderr, "the demo service did not start\n");
      std::exit(1);
    }
  }
  [[nodiscard]] double cpuMs() const { return cpuMsOf(pid); }

  ~DemoProcess() {
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
  }
  DemoProcess(const DemoProcess&) = delete;
  DemoProcess& operator=(const DemoProcess&) = delete;
};

}  // namespace vx::bench
