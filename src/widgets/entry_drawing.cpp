#include "widgets/entry_drawing.hpp"

#include <future>

#include "base/executor.hpp"
#include "store/shared_folder.hpp"
#include "widgets/scratch_release.hpp"

namespace vx::widgets {
namespace {

// Every drawing runs on this one thread. A drawing holds a canvas band and grows the text and
// font caches, and the font map behind text is one per thread: drawings spread over the serve
// workers would each build their own font map and caches and add up to megabytes. Requests
// that arrive together still fetch together; they draw one after the other, which on a machine
// of a few cores costs them little time.
base::Executor& drawingThread() {
  static base::Executor thread(1);
  return thread;
}

// A second after the last drawing, what the drawings left behind goes back to the system.
ScratchRelease& scratchRelease() {
  static ScratchRelease release(std::chrono::seconds(1));
  return release;
}

}  // namespace

present::Environment environmentFor(const DrawSettings& settings) {
  return present::Environment{settings.scheme, SharedStore::folder(), settings.options.mode};
}

std::optional<ui::RenderResult> drawWidget(const ui::Element& root, const DrawSettings& settings) {
  const host::WidgetSize size = host::size(settings.family);
  std::packaged_task<std::optional<ui::RenderResult>()> drawing([&] {
    return ui::render(root, ui::Size{size.width, size.height}, settings.format, settings.options);
  });
  auto drawn = drawing.get_future();
  // Made before the drawing thread, so that it outlives every drawing at the end.
  ScratchRelease& release = scratchRelease();
  drawingThread().submit([&drawing, &release] {
    drawing();
    release.drew();
  });
  return drawn.get();
}

}  // namespace vx::widgets
