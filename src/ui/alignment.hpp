#pragma once

#include <string_view>

namespace vx::ui {

// Horizontal placement: where a narrower child sits in a wider space, and how the lines of a
// multi-line text line up.
enum class HAlign { leading, center, trailing };

// Vertical placement. firstTextBaseline lines children up on the baseline of their first line of
// text (an element without text uses its bottom edge); outside a row it acts as top.
enum class VAlign { top, center, bottom, firstTextBaseline };

// A two-axis alignment for frames, overlays and backgrounds.
struct Alignment {
  HAlign horizontal = HAlign::center;
  VAlign vertical = VAlign::center;

  static const Alignment center;
  static const Alignment topLeading;
  static const Alignment top;
  static const Alignment topTrailing;
  static const Alignment leading;
  static const Alignment trailing;
  static const Alignment bottomLeading;
  static const Alignment bottom;
  static const Alignment bottomTrailing;

  friend bool operator==(const Alignment&, const Alignment&) = default;
};

inline constexpr Alignment Alignment::center{HAlign::center, VAlign::center};
inline constexpr Alignment Alignment::topLeading{HAlign::leading, VAlign::top};
inline constexpr Alignment Alignment::top{HAlign::center, VAlign::top};
inline constexpr Alignment Alignment::topTrailing{HAlign::trailing, VAlign::top};
inline constexpr Alignment Alignment::leading{HAlign::leading, VAlign::center};
inline constexpr Alignment Alignment::trailing{HAlign::trailing, VAlign::center};
inline constexpr Alignment Alignment::bottomLeading{HAlign::leading, VAlign::bottom};
inline constexpr Alignment Alignment::bottom{HAlign::center, VAlign::bottom};
inline constexpr Alignment Alignment::bottomTrailing{HAlign::trailing, VAlign::bottom};

[[nodiscard]] std::string_view rawValue(HAlign a);
[[nodiscard]] std::string_view rawValue(VAlign a);

// Offset of a child of length `inner` inside a space of length `outer` (may be negative when the
// child overflows; it then overflows evenly, or on the far side).
[[nodiscard]] double alignOffset(HAlign a, double outer, double inner);
[[nodiscard]] double alignOffset(VAlign a, double outer, double inner);

}  // namespace vx::ui
