// "snapshot.json" as any process (or anyone) may have left it in the shared folder. Whatever
// decodes must write back, and what was written must read back the same.

#include "harness.hpp"
#include "model/snapshot_json.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using vx::fuzz::require;
  const auto snapshot = vx::decodeSnapshot(vx::fuzz::text(data, size));
  if (!snapshot) return 0;
  (void)snapshot->waiting();
  const auto written = vx::encodeSnapshot(*snapshot);
  require(written.has_value(), "a decoded snapshot encodes");
  const auto again = vx::decodeSnapshot(*written);
  require(again.has_value(), "an encoded snapshot decodes");
  require(vx::encodeSnapshot(*again) == written, "encoding is stable once read back");
  return 0;
}
