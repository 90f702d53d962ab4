// What comes back from the widget host's socket (the settings answer line), and the push
// token as the host hands it to the extension in hexadecimal.

#include "harness.hpp"
#include "host/host_messages.hpp"
#include "host/host_platform.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input = vx::fuzz::text(data, size);
  (void)vx::host::messages::authorizationStatus(input);
  if (const auto token = vx::host::platform::decodePushToken(input)) {
    vx::fuzz::require(token->size() * 2 == input.size(), "two digits per byte");
  }
  return 0;
}
