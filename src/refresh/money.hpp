#pragma once

#include <optional>
#include <string>

namespace vx::refresh {

// An amount in the user's locale and the given ISO currency ("USD" when absent or empty), with
// cents only for amounts below 100 other than 0: "$1,235", "$12.50", "$0". "—" when the amount
// cannot be formatted, including a currency that is not a three-letter code.
[[nodiscard]] std::string formatMoney(double value, const std::optional<std::string>& currency);

}  // namespace vx::refresh
