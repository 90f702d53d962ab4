// Colour texts such as "#0f172a" from configurations and service records.

#include <string>

#include "harness.hpp"
#include "ui/color.hpp"

namespace {

bool unit(double v) {
  return v >= 0 && v <= 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using vx::ui::Color;
  const Color color = Color::hex(vx::fuzz::text(data, size));
  vx::fuzz::require(unit(color.red) && unit(color.green) && unit(color.blue),
                    "every component within 0...1");
  vx::fuzz::require(color.opacity == 1, "a colour text is always opaque");
  // The colour's own text reads back as the same colour.
  const std::string written = color.text();
  vx::fuzz::require(written.size() == 7 && written[0] == '#', "written as #rrggbb");
  vx::fuzz::require(Color::hex(written) == color, "its own text reads back as the same colour");
  return 0;
}
