// The service's time stamps (conversation and article dates).

#include "refresh/time_stamp.hpp"
#include "harness.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  (void)vx::refresh::parseStamp(vx::fuzz::text(data, size));
  return 0;
}
