#include "widgets/entry_drawing.hpp"

#include <mutex>

#include "store/shared_folder.hpp"

namespace vx::widgets {
namespace {

// A drawing holds a canvas of the whole widget (4.5 MB for the largest family at scale 2) and
// grows the text and font caches; drawings that overlap add up. Requests that arrive together
// fetch together but draw one after the other, which on a machine of a few cores costs them
// little time and keeps the process's memory to one canvas.
std::mutex& drawingMutex() {
  static std::mutex mutex;
  return mutex;
}

}  // namespace

present::Environment environmentFor(const DrawSettings& settings) {
  return present::Environment{settings.scheme, SharedStore::folder()};
}

std::optional<ui::RenderResult> drawWidget(const ui::Element& root, const DrawSettings& settings) {
  const host::WidgetSize size = host::size(settings.family);
  std::lock_guard lock(drawingMutex());
  return ui::render(root, ui::Size{size.width, size.height}, settings.format, settings.options);
}

}  // namespace vx::widgets
