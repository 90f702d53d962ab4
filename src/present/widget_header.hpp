#pragma once

#include <cstdint>
#include <string>

#include "present/environment.hpp"
#include "ui/element.hpp"

namespace vx::present {

// The height of every widget's header row.
inline constexpr double kWidgetHeaderHeight = 20;

// A widget's header row: `leading` (normally a title, or a favicon-and-name row) at the start,
// the online indicator when anyone is online, and the `trailing` text at the end.
[[nodiscard]] ui::Element WidgetHeader(const ui::Element& leading, std::int64_t online,
                                       const std::string& trailing, const Environment& env);

}  // namespace vx::present
