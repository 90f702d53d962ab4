#pragma once

#include <filesystem>
#include <functional>

#include "desktop/placements.hpp"

namespace vx::desktop {

// Reads the placements file, lets `change` edit what it holds and saves the result, with no
// other program of the user's editing the file in between: the command line, the gallery, the
// editor and the host moving a widget all edit through here, so none loses another's change.
// `change` may throw to give up: nothing is saved and the exception passes through. Throws
// `std::runtime_error` when the file cannot be read, locked or saved. Returns what was saved.
Placements updatePlacements(const std::filesystem::path& file,
                            const std::function<void(Placements&)>& change);

}  // namespace vx::desktop
