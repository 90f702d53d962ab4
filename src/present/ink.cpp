#include "present/ink.hpp"

#include "present/environment.hpp"

namespace vx::present {

namespace {

// Opacities by rank in accented mode.
constexpr double kAccentedSecondary = 0.6;
constexpr double kAccentedPrevious = 0.45;
constexpr double kAccentedSoft = 0.2;
constexpr double kAccentedRule = 0.2;

ui::Color pick(bool dark, std::string_view light, std::string_view darkHex, double lightOpacity = 1,
               double darkOpacity = 1) {
  return dark ? ui::Color::hex(darkHex).withOpacity(darkOpacity)
              : ui::Color::hex(light).withOpacity(lightOpacity);
}

}  // namespace

std::string_view rawValue(ColorScheme scheme) {
  return scheme == ColorScheme::dark ? "dark" : "light";
}

ColorScheme colorSchemeFromRaw(std::string_view raw) {
  return raw == "dark" ? ColorScheme::dark : ColorScheme::light;
}

Ink::Ink(ColorScheme scheme, ui::RenderingMode mode)
    : dark(scheme == ColorScheme::dark),
      primary(pick(dark, "#0f172a", "#f5f5f5")),
      secondary(pick(dark, "#64748b", "#a1a1aa")),
      up(pick(dark, "#059669", "#34d399")),
      down(pick(dark, "#dc2626", "#f87171")),
      live(pick(dark, "#10b981", "#34d399")),
      accent(pick(dark, "#06b6d4", "#06b6d4")),
      action(pick(dark, "#0e7490", "#22d3ee")),
      liveText(pick(dark, "#047857", "#34d399")),
      accentSoft(pick(dark, "#06b6d4", "#06b6d4", 0.16, 0.24)),
      previous(pick(dark, "#64748b", "#71717a", 0.55, 1)),
      baseline(pick(dark, "#e2e8f0", "#3f3f46")),
      background(pick(dark, "#ffffff", "#1c1c1e")) {
  if (mode != ui::RenderingMode::accented) return;
  // Every other entry is drawn whole, like the primary text.
  for (ui::Color* whole : {&primary, &up, &down, &live, &accent, &action, &liveText, &background}) {
    *whole = whole->withOpacity(1);
  }
  secondary = secondary.withOpacity(kAccentedSecondary);
  previous = previous.withOpacity(kAccentedPrevious);
  accentSoft = accentSoft.withOpacity(kAccentedSoft);
  baseline = baseline.withOpacity(kAccentedRule);
}

Ink::Ink(const Environment& env) : Ink(env.colorScheme, env.renderingMode) {}

}  // namespace vx::present
