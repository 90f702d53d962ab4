// The bundle's Info.plist, as found on disk when the program checks whether it was replaced.

#include "harness.hpp"
#include "host/bundle.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view document = vx::fuzz::text(data, size);
  (void)vx::host::plistStringIn(document, "CFBundleVersion");
  (void)vx::host::plistStringIn(document, "CFBundleIdentifier");
  return 0;
}
