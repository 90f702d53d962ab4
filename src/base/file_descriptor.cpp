#include "base/file_descriptor.hpp"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vx::base {

std::string descriptorPath(int fd) {
  return "/proc/self/fd/" + std::to_string(fd);
}

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
  if (this != &other) {
    (void)close();
    fd_ = other.release();
  }
  return *this;
}

FileDescriptor::~FileDescriptor() {
  (void)close();
}

int FileDescriptor::release() noexcept {
  int fd = fd_;
  fd_ = -1;
  return fd;
}

int FileDescriptor::close() noexcept {
  if (fd_ < 0) return 0;
  // Linux releases the descriptor even when close fails (also on EINTR), so it is never retried.
  return ::close(release()) == 0 ? 0 : errno;
}

FileDescriptor openRegularFile(const char* path) {
  FileDescriptor file(::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW));
  struct stat status {};
  if (!file.valid() || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) return {};
  return file;
}

}  // namespace vx::base
