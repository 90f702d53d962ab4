#pragma once

#include <optional>
#include <string>

#include "api/records.hpp"

namespace vx::refresh {

// The short line for today from the summary of `period=today`: "+12 today", "+12.3K today",
// "+$840 today" for a goal; nothing when there is nothing to add.
[[nodiscard]] std::optional<std::string> todayDisplay(const api::Summary& summary);

}  // namespace vx::refresh
