#pragma once

// The demo service made to answer once before a benchmark measures a refresh. A fresh demo
// service seeds the numbers of every figure it is first asked for (some 30 ms of its time in
// a full refresh of ten projects); a real service has its figures at hand. The warming refresh
// runs in a child process with a shared folder of its own, so that the measuring process has
// no library loaded, connection kept or file stored that it would not have had otherwise, and
// the service keeps no connection of it.

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "refresh/fetcher.hpp"
#include "store/shared_store.hpp"

namespace vx::bench {

inline void warmService(const std::string& session, const std::filesystem::path& scratch) {
  const pid_t child = fork();
  if (child < 0) std::exit(1);
  if (child == 0) {
    setenv("XDG_DATA_HOME", scratch.c_str(), 1);
    const auto folder = SharedStore::folder();
    if (!folder) _exit(1);
    std::ofstream(*folder / "session.json") << session;
    const auto outcome = refresh::Fetcher::shared().current(WidgetPeriod::days28);
    _exit(outcome.kind == refresh::Fetcher::Outcome::Kind::fresh ? 0 : 1);
  }
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "the warming refresh failed\n");
    std::exit(1);
  }
}

}  // namespace vx::bench
