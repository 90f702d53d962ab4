#pragma once

#include <optional>
#include <string_view>

#include "ui/alignment.hpp"
#include "ui/color.hpp"

namespace vx::ui {

enum class Weight { regular, medium, semibold, bold };

[[nodiscard]] std::string_view rawValue(Weight w);
// The OpenType / CSS weight number (400, 500, 600, 700).
[[nodiscard]] int weightNumber(Weight w);

// A font as the widgets name it: a point size and a weight of the one typeface. Tabular digits
// are not part of it: they are a setting of their own, so a text that is given another font still
// inherits its container's tabular digits (set tabularDigits(false) to drop them).
struct Font {
  double size = 17;
  Weight weight = Weight::regular;
  friend bool operator==(const Font&, const Font&) = default;
};

// Text settings that flow down the tree: set on a container they apply to every text inside it
// that does not set its own. Unset fields fall through to the enclosing setting.
struct TextStyle {
  std::optional<double> size{};
  std::optional<Weight> weight{};
  std::optional<Color> color{};
  std::optional<int> lineLimit{};  // absent: as many lines as the text needs
  std::optional<double> minScale{};
  std::optional<bool> tabularDigits{};
  std::optional<HAlign> multilineAlignment{};

  // This style with every field that `inner` sets taken from `inner`.
  [[nodiscard]] TextStyle overriddenBy(const TextStyle& inner) const;

  friend bool operator==(const TextStyle&, const TextStyle&) = default;
};

// A style with every field decided, as a text is drawn.
struct ResolvedTextStyle {
  double size = 17;
  Weight weight = Weight::regular;
  Color color = Color::black();
  std::optional<int> lineLimit;
  double minScale = 1;
  bool tabularDigits = false;
  HAlign multilineAlignment = HAlign::leading;
};

[[nodiscard]] ResolvedTextStyle resolve(const TextStyle& style);

}  // namespace vx::ui
