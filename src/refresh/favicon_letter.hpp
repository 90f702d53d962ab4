#pragma once

#include <string>
#include <string_view>

namespace vx::refresh {

// The letter of a project's fallback icon: the first character (user-perceived, so an accent
// or emoji sequence stays whole) of the domain, upper-cased; empty for an empty domain.
[[nodiscard]] std::string faviconLetter(std::string_view domain);

}  // namespace vx::refresh
