#include "widgets/entry_drawing.hpp"

#include "store/shared_folder.hpp"

namespace vx::widgets {

present::Environment environmentFor(const DrawSettings& settings) {
  return present::Environment{settings.scheme, SharedStore::folder()};
}

std::optional<ui::RenderResult> drawWidget(const ui::Element& root, const DrawSettings& settings) {
  const host::WidgetSize size = host::size(settings.family);
  return ui::render(root, ui::Size{size.width, size.height}, settings.format, settings.options);
}

}  // namespace vx::widgets
