#include "desktop/widget_edits.hpp"

#include <stdexcept>

#include "desktop/placement_edits.hpp"

namespace vx::desktop {

Placement configurePlacement(const std::filesystem::path& file, const std::string& id,
                             const KindInfo& kind,
                             const std::map<std::string, std::string>& options) {
  Placement saved;
  (void)updatePlacements(file, [&](Placements& placements) {
    Placement* placement = placements.find(id);
    if (placement == nullptr) throw std::runtime_error("this widget is no longer on the desktop");
    if (placement->kind != kind.kind) throw std::runtime_error("this widget is now another kind");
    placement->configuration = configure(kind, placement->configuration, options);
    saved = *placement;
  });
  return saved;
}

bool removePlacement(const std::filesystem::path& file, const std::string& id) {
  struct NoSuchWidget {};
  try {
    (void)updatePlacements(file, [&](Placements& placements) {
      if (std::erase_if(placements.widgets, [&](const Placement& p) { return p.id == id; }) == 0) {
        throw NoSuchWidget{};  // nothing to save
      }
    });
  } catch (const NoSuchWidget&) {
    return false;
  }
  return true;
}

}  // namespace vx::desktop
