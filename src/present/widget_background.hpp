#pragma once

#include "present/environment.hpp"
#include "ui/element.hpp"

namespace vx::present {

// The widget's plain background fill; the widget kinds set it as the container background.
[[nodiscard]] ui::Element WidgetBackground(const Environment& env);

}  // namespace vx::present
