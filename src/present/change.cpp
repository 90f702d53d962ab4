#include "present/change.hpp"

#include <cmath>
#include <cstdio>

namespace vx::present {

namespace {

constexpr const char* kUpArrow = "\u2191";
constexpr const char* kDownArrow = "\u2193";

// std::round rounds halves away from zero. A value that is not finite has no sensible badge.
std::optional<double> roundedPercent(std::optional<double> value) {
  if (!value || !std::isfinite(*value)) return std::nullopt;
  const double rounded = std::round(*value);
  if (rounded == 0) return std::nullopt;
  return rounded;
}

}  // namespace

std::optional<std::string> changeText(std::optional<double> value) {
  const std::optional<double> rounded = roundedPercent(value);
  if (!rounded) return std::nullopt;
  // "%.0f" prints any whole double exactly, however large, without an integer conversion.
  char digits[400];
  std::snprintf(digits, sizeof digits, "%.0f", std::abs(*rounded));
  return std::string(*value > 0 ? kUpArrow : kDownArrow) + digits + "%";
}

ui::Element Change(std::optional<double> value, ui::Font font, const Environment& env) {
  const std::optional<std::string> label = changeText(value);
  if (!label) return ui::empty();
  const Ink ink(env.colorScheme);
  return ui::text(*label)
      .font(font)
      .tabularDigits()
      .color(*value > 0 ? ink.up : ink.down)
      .lineLimit(1)
      .fixedSize();
}

}  // namespace vx::present
