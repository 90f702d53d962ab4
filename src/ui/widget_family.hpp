#pragma once

#include <optional>
#include <string_view>

#include "ui/element.hpp"

namespace vx::ui {

// The widget sizes a host offers.
enum class WidgetFamily { systemSmall, systemMedium, systemLarge, systemExtraLarge };

[[nodiscard]] std::string_view rawValue(WidgetFamily f);
[[nodiscard]] std::optional<WidgetFamily> widgetFamilyFromRaw(std::string_view raw);

// The family's size in points: small 170x170, medium 364x170, large 364x382,
// extra large 748x382.
[[nodiscard]] Size familySize(WidgetFamily f);

// The only margin around a widget's content, on all four edges.
inline constexpr double kWidgetContentInset = 16;

// A whole widget: `background` fills the widget and is marked as its container background (left
// out in accented mode); `content` is offered the widget's size less the 16-point inset on every
// edge and centred in it. Lay the result out at familySize(...).
[[nodiscard]] Element widgetContainer(const Element& content, const Element& background);

}  // namespace vx::ui
