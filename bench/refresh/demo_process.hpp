#pragma once

// The demo service as a child process for the refresh benchmarks, so that its threads and
// memory are not counted as the client's: ten projects, a fixed latency on every answer.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace vx::bench {

// The dependent round trips of a full refresh with a period: the project list; the entries and
// the period's summaries and series; the previous period's series and the goal reports.
inline constexpr int kChain = 3;

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
  ~DemoProcess() {
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
  }
  DemoProcess(const DemoProcess&) = delete;
  DemoProcess& operator=(const DemoProcess&) = delete;
};

}  // namespace vx::bench
