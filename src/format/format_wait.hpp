#pragma once

#include <string>

#include "model/clock.hpp"

namespace vx {

// How long something has been waiting, in one unit: "0m" to "59m", then "1h" to "23h", then days
// ("1d", "400d"). Each unit is rounded half away from zero from the one below; a `since` later
// than `now` counts as no wait.
[[nodiscard]] std::string formatWait(Time since, Time now);

}  // namespace vx
