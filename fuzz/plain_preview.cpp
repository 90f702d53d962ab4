// Message previews from whatever a visitor or the assistant wrote: markup, entities, JSON
// content. The preview is one line of bounded length.

#include <string>

#include "harness.hpp"
#include "refresh/plain_preview.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using vx::fuzz::require;
  const std::string preview = vx::refresh::plainPreview(std::string(vx::fuzz::text(data, size)));
  require(preview.find('\n') == std::string::npos, "a preview is one line");
  // 65536 UTF-16 code units are at most 4 bytes of UTF-8 each (a pair stands for 4 bytes).
  require(preview.size() <= 4 * 65536, "a preview is bounded");
  return 0;
}
