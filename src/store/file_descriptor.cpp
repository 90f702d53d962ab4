#include "store/file_descriptor.hpp"

#include <cerrno>

#include "store/system_calls.hpp"

namespace vx::store {

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
  int result = systemCalls().close(release());
  return result == 0 ? 0 : errno;
}

}  // namespace vx::store
