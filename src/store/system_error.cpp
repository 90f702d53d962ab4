#include "store/system_error.hpp"

#include <cstring>

namespace vx::store {

std::string SystemError::description() const {
  char buffer[256];
  // The GNU strerror_r may return a static text instead of filling the buffer.
  const char* text = strerror_r(code, buffer, sizeof buffer);
  return context + ": " + text;
}

}  // namespace vx::store
