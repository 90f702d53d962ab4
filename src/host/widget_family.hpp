#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace vx::host {

// The host's size classes for a placed widget.
enum class WidgetFamily { systemSmall, systemMedium, systemLarge, systemExtraLarge };

inline constexpr std::array<WidgetFamily, 4> kAllWidgetFamilies = {
    WidgetFamily::systemSmall, WidgetFamily::systemMedium, WidgetFamily::systemLarge,
    WidgetFamily::systemExtraLarge};

// A widget's drawing area in points.
struct WidgetSize {
  double width = 0;
  double height = 0;

  bool operator==(const WidgetSize&) const = default;
};

// "systemSmall", "systemMedium", "systemLarge", "systemExtraLarge".
[[nodiscard]] std::string_view rawValue(WidgetFamily family);
[[nodiscard]] std::optional<WidgetFamily> widgetFamilyFromRaw(std::string_view raw);

// The size the host gives a widget of this family: 170×170, 364×170, 364×382, 748×382.
[[nodiscard]] WidgetSize size(WidgetFamily family);

}  // namespace vx::host
