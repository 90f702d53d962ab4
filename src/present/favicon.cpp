#include "present/favicon.hpp"

#include <cmath>

#include "ui/color.hpp"

namespace vx::present {

namespace {

constexpr double kCornerShare = 0.25;
constexpr double kLetterShare = 0.5;
constexpr double kTileOpacity = 0.18;

bool plainFileName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of(std::string_view("/\0", 2)) == std::string::npos;
}

ui::Element letterTile(const ProjectEntry& project, double size) {
  const ui::Color color = ui::Color::hex(project.faviconColor);
  return ui::overlay({ui::roundedRectangle(size * kCornerShare)
                          .fill(color.withOpacity(color.opacity * kTileOpacity)),
                      ui::text(project.faviconLetter)
                          .font(size * kLetterShare, ui::Weight::semibold)
                          .color(color)
                          .lineLimit(1)})
      .frame(size, size)
      // The project's name is read beside the icon: its letter would only be noise.
      .label("");
}

}  // namespace

std::optional<std::filesystem::path> faviconPath(const ProjectEntry& project,
                                                 const Environment& env) {
  if (!project.faviconFile || !env.sharedFolder) return std::nullopt;
  if (!plainFileName(*project.faviconFile)) return std::nullopt;
  return *env.sharedFolder / *project.faviconFile;
}

ui::Element Favicon(const ProjectEntry& project, double size, const Environment& env) {
  // A size that is no finite positive number draws nothing rather than a frame of nonsense.
  if (!std::isfinite(size) || size <= 0) return ui::empty();
  const ui::Element tile = letterTile(project, size);
  const std::optional<std::filesystem::path> file = faviconPath(project, env);
  if (!file) return tile;
  // A file that does not load as an image draws the tile instead, without a word of error.
  return ui::image(file->string())
      .resizable()
      .fallback(tile)
      .frame(size, size)
      .clip(size * kCornerShare);
}

}  // namespace vx::present
