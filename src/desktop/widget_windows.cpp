#include "desktop/widget_windows.hpp"

namespace vx::desktop {

void WidgetWindows::drawn(const Placement& placement, const nlohmann::json& record) {
  std::unique_ptr<WidgetWindow>& window = windows_[placement.id];
  if (!window || window->position() != placement.position) {
    window.reset();
    window = std::make_unique<WidgetWindow>(
        placement, system_,
        [this, id = placement.id](int scale) { host_.setWidgetScale(id, scale); });
  }
  const auto image = record.find("image");
  if (image == record.end() || !image->is_string()) return;
  const auto scale = record.find("scale");
  window->show(host_.outputFolder() / image->get<std::string>(),
               scale != record.end() && scale->is_number() ? scale->get<double>() : 1.0,
               record.value("links", nlohmann::json::array()));
  window->tell(accessibleContent(record));
}

}  // namespace vx::desktop
