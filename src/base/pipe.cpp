#include "base/pipe.hpp"

#include <cerrno>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

namespace vx::base {

Pipe Pipe::open() {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) {
    throw std::system_error(errno, std::generic_category(), "cannot make a pipe");
  }
  return {FileDescriptor(ends[0]), FileDescriptor(ends[1])};
}

}  // namespace vx::base
