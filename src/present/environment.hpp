#pragma once

#include <filesystem>
#include <optional>

#include "present/ink.hpp"
#include "ui/render_options.hpp"

namespace vx::present {

// What the components read from where they are drawn: the colour scheme in use, the shared
// folder when it is available (favicons are loaded from it), and how the host renders the widget.
struct Environment {
  ColorScheme colorScheme = ColorScheme::light;
  std::optional<std::filesystem::path> sharedFolder{};
  ui::RenderingMode renderingMode = ui::RenderingMode::fullColor;
};

}  // namespace vx::present
