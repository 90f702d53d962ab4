// "push.json": whatever decodes writes back and reads back the same.

#include "harness.hpp"
#include "store/shared_store.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using vx::fuzz::require;
  const auto registration = vx::SharedStore::decodePushRegistration(vx::fuzz::text(data, size));
  if (!registration) return 0;
  const auto written = vx::SharedStore::encodePushRegistration(*registration);
  require(written.has_value(), "a decoded registration encodes");
  require(vx::SharedStore::decodePushRegistration(*written) == registration,
          "an encoded registration reads back the same");
  return 0;
}
