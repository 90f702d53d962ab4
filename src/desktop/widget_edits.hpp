#pragma once

#include <filesystem>
#include <map>
#include <string>

#include "desktop/kind_catalogue.hpp"
#include "desktop/placements.hpp"

namespace vx::desktop {

// Changes widget `id`'s configuration in the placements file: the options (name without "--" →
// text) are checked as the command line checks them. Returns the placement as saved. Throws
// `std::invalid_argument` for a value the kind does not take and `std::runtime_error` when the
// widget is no longer placed or the file cannot be read or written; nothing is saved then.
Placement configurePlacement(const std::filesystem::path& file, const std::string& id,
                             const KindInfo& kind,
                             const std::map<std::string, std::string>& options);

// Removes widget `id` from the placements file; false when it was not placed. Throws
// `std::runtime_error` when the file cannot be read or written.
bool removePlacement(const std::filesystem::path& file, const std::string& id);

}  // namespace vx::desktop
