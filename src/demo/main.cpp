// vantorix-demo-service: the local stand-in for the analytics service (see --help).

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "demo/options.hpp"
#include "demo/service.hpp"
#include "model/clock.hpp"
#include "store/atomic_write.hpp"

namespace {

constexpr const char* kName = "vantorix-demo-service";

// SIGINT and SIGTERM are taken by the main thread alone: they are blocked before any thread
// starts (threads inherit the mask) and awaited with sigwait.
sigset_t stopSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  return set;
}

int serve(const vx::demo::ProgramOptions& options) {
  const sigset_t signals = stopSignals();
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);

  vx::demo::Service service(options.service);
  if (const std::string error = service.start(); !error.empty()) {
    std::cerr << kName << ": " << error << "\n";
    return 1;
  }
  const std::string session = vx::demo::sessionDocument(service.port(), options.service.token);
  if (options.readyFile) {
    // The session carries the token: readable by the owner only.
    if (const auto error = vx::store::writeAtomically(*options.readyFile, session + "\n", 0600)) {
      std::cerr << kName << ": " << error->description() << "\n";
      return 1;
    }
  }
  std::cout << session << std::endl;
  std::cerr << kName << ": serving " << options.service.projects << " projects at "
            << service.baseAddress() << " (stop with Ctrl-C)" << std::endl;

  int received = 0;
  while (sigwait(&signals, &received) != 0) {
  }
  service.stop();
  if (options.readyFile) ::unlink(options.readyFile->c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const auto parsed = vx::demo::parseOptions(args);
  if (!parsed.options) {
    std::cerr << kName << ": " << parsed.error << " (see --help)\n";
    return 2;
  }
  const auto& options = *parsed.options;
  if (options.help) {
    std::cout << vx::demo::usage();
    return 0;
  }
  if (options.printSession) {
    if (options.service.port == 0) {
      std::cerr << kName << ": --print-session needs a fixed port, not --port 0\n";
      return 2;
    }
    std::cout << vx::demo::sessionDocument(options.service.port, options.service.token) << "\n";
    return 0;
  }
  if (options.now) vx::clock::pin(*options.now);
  return serve(options);
}
