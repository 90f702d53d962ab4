#pragma once

#include "present/environment.hpp"
#include "ui/element.hpp"

namespace vx::present {

// The 6-point dot that says "live".
[[nodiscard]] ui::Element LiveDot(const Environment& env);

}  // namespace vx::present
