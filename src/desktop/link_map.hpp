#pragma once

#include <optional>
#include <string>

#include <nlohmann/json.hpp>

namespace vx::desktop {

// The URL that a tap at (x, y) points from a drawing's top-left corner opens: that of the last
// link, in painting order, whose rectangle ([left, top, width, height] in points) contains the
// point, as a later link is painted over an earlier one. Links that are not of that form (the
// extension is another process) are passed over. Nothing when no link contains the point.
[[nodiscard]] std::optional<std::string> linkAt(const nlohmann::json& links, double x, double y);

}  // namespace vx::desktop
