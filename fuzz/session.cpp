// "session.json" and the service base it names. The token may only ever go to the product's
// API host over https or to localhost over http.

#include <string>

#include "config/build_config.hpp"
#include "harness.hpp"
#include "model/shared_session.hpp"

namespace {

bool startsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

// The scheme and host of a normalised address, followed by the end, a port, or a path.
bool names(const std::string& address, const std::string& origin) {
  if (!startsWith(address, origin)) return false;
  return address.size() == origin.size() || address[origin.size()] == ':' ||
         address[origin.size()] == '/';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto session = vx::decodeSharedSession(vx::fuzz::text(data, size));
  if (!session) return 0;
  const auto base = session->baseURL();
  if (!base) return 0;
  vx::fuzz::require(names(*base, std::string("https://") + vx::config::kApiHost) ||
                        names(*base, "http://localhost"),
                    "the base is the API host over https or localhost over http");
  return 0;
}
