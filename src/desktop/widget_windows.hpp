#pragma once

#include <map>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "desktop/host_core.hpp"
#include "desktop/widget_window.hpp"

namespace vx::desktop {

// A window per placed widget, made when its first drawing is in and gone with its placement;
// each window's drawings are made at the scale of the monitor it shows on.
class WidgetWindows {
 public:
  WidgetWindows(Host& host, WindowSystem system) : host_(host), system_(system) {}

  void drawn(const Placement& placement, const nlohmann::json& record);
  void removed(const std::string& id) { windows_.erase(id); }

 private:
  Host& host_;
  WindowSystem system_;
  std::map<std::string, std::unique_ptr<WidgetWindow>> windows_;
};

}  // namespace vx::desktop
