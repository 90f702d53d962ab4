#pragma once

#include <filesystem>
#include <optional>

#include "model/snapshot.hpp"
#include "present/environment.hpp"
#include "ui/element.hpp"

namespace vx::present {

// The project's icon in a `size` × `size` rounded square: its favicon file from the shared
// folder when that loads as an image, otherwise its letter on a tile of its colour.
[[nodiscard]] ui::Element Favicon(const ProjectEntry& project, double size, const Environment& env);

// Where the project's favicon file is: `faviconFile` inside the shared folder. Nothing without a
// file or a folder, and nothing for a name that is not one plain file name (a path that could
// lead out of the folder).
[[nodiscard]] std::optional<std::filesystem::path> faviconPath(const ProjectEntry& project,
                                                               const Environment& env);

}  // namespace vx::present
