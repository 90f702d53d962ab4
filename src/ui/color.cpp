#include "ui/color.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace vx::ui {

Color Color::rgb8(std::uint8_t r, std::uint8_t g, std::uint8_t b, double opacity) {
  return {r / 255.0, g / 255.0, b / 255.0, opacity};
}

Color Color::rgb24(std::uint32_t rgb, double opacity) {
  return rgb8(static_cast<std::uint8_t>((rgb >> 16) & 0xFF),
              static_cast<std::uint8_t>((rgb >> 8) & 0xFF), static_cast<std::uint8_t>(rgb & 0xFF),
              opacity);
}

Color Color::hex(std::string_view text) {
  // 1. The leading character goes, whatever it is.
  const std::string_view digits = text.empty() ? text : text.substr(1);
  // 2. The rest as one unsigned 32-bit hexadecimal number; empty or unreadable reads as 0.
  std::uint32_t n = 0;
  const char* end = digits.data() + digits.size();
  const auto [stop, error] = std::from_chars(digits.data(), end, n, 16);
  if (digits.empty() || error != std::errc{} || stop != end) n = 0;
  // 3. Only the low 24 bits count.
  return rgb24(n);
}

double Color::luminance() const {
  return 0.2126 * red + 0.7152 * green + 0.0722 * blue;
}

std::string Color::text() const {
  auto byte = [](double v) {
    return static_cast<unsigned>(std::lround(std::clamp(v, 0.0, 1.0) * 255));
  };
  char buf[32];
  std::snprintf(buf, sizeof buf, "#%02x%02x%02x", byte(red), byte(green), byte(blue));
  std::string out = buf;
  if (opacity < 1) {
    std::snprintf(buf, sizeof buf, "@%.3g", opacity);
    out += buf;
  }
  return out;
}

}  // namespace vx::ui
