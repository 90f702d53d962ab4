#pragma once

#include <cstdint>

#include "present/environment.hpp"
#include "ui/element.hpp"

namespace vx::present {

// The visitors-online-now indicator: the live dot, then "<count> now" when `showsCount` (also for
// a count of 0).
[[nodiscard]] ui::Element Online(std::int64_t count, bool showsCount, const Environment& env);

}  // namespace vx::present
