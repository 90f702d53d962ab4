#pragma once

#include <functional>

#include <sys/stat.h>
#include <sys/types.h>

namespace vx::store {

// The system calls the store's file writing and folder checks make, reached through one table so
// that tests can make any of them fail (or write less than asked, or report another owner) where
// the kernel will not on demand. Each entry behaves as the call it is named after: a result and
// errno as that call gives them.
struct SystemCalls {
  std::function<int(const char* path, int flags, mode_t mode)> open;
  std::function<int(char* pattern, int flags)> mkostemp;
  std::function<int(int fd, mode_t mode)> fchmod;
  std::function<ssize_t(int fd, const void* bytes, size_t count)> write;
  std::function<int(int fd)> fsync;
  std::function<int(int fd)> close;  // of a written file; other descriptors close on their own
  std::function<int(const char* from, const char* to)> linkFromDescriptorPath;
  std::function<int(const char* from, const char* to)> rename;
  std::function<int(const char* path)> unlink;
  std::function<int(const char* path, struct stat* status)> lstat;
};

// The calls in use: the system's own unless a test replaced some.
[[nodiscard]] SystemCalls& systemCalls();

// The system's own calls.
[[nodiscard]] SystemCalls realSystemCalls();

}  // namespace vx::store
