#pragma once

#include <filesystem>
#include <functional>

#include <sys/types.h>
#include <unistd.h>

#include "support/process.hpp"

namespace vx::testing {

// Permission bits do not stop the superuser, so tests of a folder that is not writable run
// their check as an ordinary user: "nobody" when the tests run as root, this user otherwise.
inline constexpr uid_t kUnprivilegedUser = 65534;

// Gives `root` and everything in it to the user that `asUnprivileged` runs as.
inline void handOver(const std::filesystem::path& root) {
  if (::geteuid() != 0) return;
  // A file left with root stays unwritable for the check, which then fails on its own.
  if (::chown(root.c_str(), kUnprivilegedUser, kUnprivilegedUser) != 0) return;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    if (::lchown(entry.path().c_str(), kUnprivilegedUser, kUnprivilegedUser) != 0) return;
  }
}

// Runs `check` in a child process, as an ordinary user, and gives its answer. A check that
// has not answered after `seconds` (one that blocks for good) counts as false.
inline bool asUnprivileged(const std::function<bool()>& check, unsigned seconds = 30) {
  return answersInChild(check, seconds, kUnprivilegedUser);
}

}  // namespace vx::testing
