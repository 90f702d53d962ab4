#pragma once

#include "base/file_descriptor.hpp"

namespace vx::base {

// The two ends of one pipe, each owned on its own: bytes written to `writeEnd` come out of
// `readEnd`. Both are closed on exec, so a child process gets only the ends it is handed.
struct Pipe {
  FileDescriptor readEnd;
  FileDescriptor writeEnd;

  // A new pipe. Throws `std::system_error` (errno and "cannot make a pipe") when the system has
  // none to give.
  [[nodiscard]] static Pipe open();
};

}  // namespace vx::base
