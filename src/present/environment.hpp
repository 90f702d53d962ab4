#pragma once

#include <filesystem>
#include <optional>

#include "present/ink.hpp"

namespace vx::present {

// What the components read from where they are drawn: the colour scheme in use, and the shared
// folder when it is available (favicons are loaded from it).
struct Environment {
  ColorScheme colorScheme = ColorScheme::light;
  std::optional<std::filesystem::path> sharedFolder{};
};

}  // namespace vx::present
