#include "present/widget_background.hpp"

namespace vx::present {

ui::Element WidgetBackground(const Environment& env) {
  const Ink ink(env);
  return ui::rectangle().fill(ink.background);
}

}  // namespace vx::present
