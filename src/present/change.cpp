#include "present/change.hpp"

#include <cmath>

namespace vx::present {

namespace {

constexpr const char* kUpArrow = "\u2191";
constexpr const char* kDownArrow = "\u2193";
// A hundredfold is as far as a badge counts; anything further (a period after a near-empty one,
// or a figure no site has) reads as more than that, in the width of a real badge.
constexpr int kLargestPercent = 9999;

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
  const std::string arrow = *value > 0 ? kUpArrow : kDownArrow;
  const double percent = std::abs(*rounded);
  if (percent > kLargestPercent) return arrow + std::to_string(kLargestPercent) + "+%";
  return arrow + std::to_string(static_cast<int>(percent)) + "%";
}

ui::Element Change(std::optional<double> value, ui::Font font, const Environment& env) {
  const std::optional<std::string> label = changeText(value);
  if (!label) return ui::empty();
  const Ink ink(env);
  return ui::text(*label)
      .font(font)
      .tabularDigits()
      .color(*value > 0 ? ink.up : ink.down)
      .lineLimit(1)
      .fixedSize();
}

}  // namespace vx::present
