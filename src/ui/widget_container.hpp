#pragma once

#include "ui/element.hpp"

namespace vx::ui {

// The only margin around a widget's content, on all four edges.
inline constexpr double kWidgetContentInset = 16;

// A whole widget: `background` fills the widget and is marked as its container background (left
// out in accented mode); `content` is offered the widget's size less the 16-point inset on every
// edge and centred in it. Lay the result out at the size the host gives the widget's family.
[[nodiscard]] Element widgetContainer(const Element& content, const Element& background);

}  // namespace vx::ui
