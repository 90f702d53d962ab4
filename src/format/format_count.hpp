#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vx {

// A compact visitor or conversion count in fixed US English: "9,999", "12.3K", "1.2M"; "—" when
// there is no count. Counts below 10,000 (negatives included) are never abbreviated. Counts that
// would read a thousand million or more either way read "999M+" or "-999M+".
[[nodiscard]] std::string formatCount(std::optional<std::int64_t> value);

}  // namespace vx
