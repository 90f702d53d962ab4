#pragma once

#include <optional>
#include <string_view>

#include "model/clock.hpp"

namespace vx::refresh {

// Reads one of the service's time stamps: an ISO 8601 internet date-time such as
// 2026-03-05T14:30:00Z or 2026-03-05T14:30:00.123+01:00 (a zone designator is required).
// The form without fractional seconds is tried first, then the one with them; fractions are
// kept to the millisecond. Absent when the whole text is not one such stamp, or when it names
// an instant the clock cannot hold.
[[nodiscard]] std::optional<Time> parseStamp(std::string_view text);

}  // namespace vx::refresh
