#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vx::ui {

// An sRGB colour with an opacity; every component is in 0...1.
struct Color {
  double red = 0;
  double green = 0;
  double blue = 0;
  double opacity = 1;

  // From 8-bit components, e.g. Color::rgb8(15, 23, 42).
  [[nodiscard]] static Color rgb8(std::uint8_t r, std::uint8_t g, std::uint8_t b,
                                  double opacity = 1);
  // From a 0xRRGGBB number; bits above the low 24 are ignored.
  [[nodiscard]] static Color rgb24(std::uint32_t rgb, double opacity = 1);

  // From a colour text such as "#0f172a": the first character is dropped whatever it is, the
  // rest read as a hexadecimal number of at most 32 bits whose low 24 bits are red, green and
  // blue. Anything that does not read as such a number gives opaque black.
  [[nodiscard]] static Color hex(std::string_view text);

  [[nodiscard]] static Color black() { return {0, 0, 0, 1}; }
  [[nodiscard]] static Color white() { return {1, 1, 1, 1}; }
  [[nodiscard]] static Color clear() { return {0, 0, 0, 0}; }

  // The same colour with its opacity replaced / multiplied.
  [[nodiscard]] Color withOpacity(double o) const { return {red, green, blue, o}; }
  [[nodiscard]] Color fading(double factor) const { return {red, green, blue, opacity * factor}; }

  // Relative luminance (Rec. 709 weights on the sRGB components).
  [[nodiscard]] double luminance() const;

  // "#rrggbb" or "#rrggbb@0.16" when not opaque; for dumps and test messages.
  [[nodiscard]] std::string text() const;

  friend bool operator==(const Color&, const Color&) = default;
};

}  // namespace vx::ui
