#pragma once

#include <string>

namespace vx::store {

// A failed system call: what was being done and the error number it reported.
struct SystemError {
  int code = 0;
  std::string context;  // for example "cannot create a temporary file in /some/folder"

  // "<context>: <the system's text for code>".
  [[nodiscard]] std::string description() const;
};

}  // namespace vx::store
