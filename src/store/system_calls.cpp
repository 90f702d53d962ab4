#include "store/system_calls.hpp"

#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vx::store {

SystemCalls realSystemCalls() {
  SystemCalls calls;
  calls.open = [](const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); };
  calls.mkostemp = [](char* pattern, int flags) { return ::mkostemp(pattern, flags); };
  calls.fchmod = [](int fd, mode_t mode) { return ::fchmod(fd, mode); };
  calls.write = [](int fd, const void* bytes, size_t count) { return ::write(fd, bytes, count); };
  calls.fsync = [](int fd) { return ::fsync(fd); };
  calls.close = [](int fd) { return ::close(fd); };
  // "from" names an open descriptor under /proc/self/fd; following it links the file it
  // stands for, which may have no name yet.
  calls.linkFromDescriptorPath = [](const char* from, const char* to) {
    return ::linkat(AT_FDCWD, from, AT_FDCWD, to, AT_SYMLINK_FOLLOW);
  };
  calls.rename = [](const char* from, const char* to) { return ::rename(from, to); };
  calls.unlink = [](const char* path) { return ::unlink(path); };
  calls.lstat = [](const char* path, struct stat* status) { return ::lstat(path, status); };
  return calls;
}

SystemCalls& systemCalls() {
  static SystemCalls calls = realSystemCalls();
  return calls;
}

}  // namespace vx::store
