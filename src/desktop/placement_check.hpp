#pragma once

#include <optional>
#include <string>
#include <vector>

#include "desktop/kind_catalogue.hpp"
#include "desktop/placements.hpp"

namespace vx::desktop {

// Why the host cannot show `placement` with the kinds the extension offers (an id it cannot name
// images with, a kind the extension does not know, a family the kind does not come in, a
// configuration the kind does not take), as one readable line; nothing when it can. A placements
// file edited by hand may hold any of these.
[[nodiscard]] std::optional<std::string> placementProblem(const Placement& placement,
                                                          const std::vector<KindInfo>& kinds);

// The families a kind comes in, for messages: "systemSmall, systemMedium".
[[nodiscard]] std::string familiesOf(const KindInfo& kind);

}  // namespace vx::desktop
