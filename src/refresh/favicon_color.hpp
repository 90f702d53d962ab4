#pragma once

#include <string>
#include <string_view>

namespace vx::refresh {

// The colour ("#" and six hexadecimal digits) of a project's letter tile, chosen from a
// ten-colour palette by a hash of `text` (the project's domain), so a domain keeps its colour.
[[nodiscard]] std::string faviconColor(std::string_view text);

}  // namespace vx::refresh
