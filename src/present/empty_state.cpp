#include "present/empty_state.hpp"

#include "present/widget_type.hpp"

namespace vx::present {

ui::Element EmptyState(const std::string& message, const Environment& env) {
  const Ink ink(env);
  return ui::text(message)
      .font(WidgetType::detail)
      .color(ink.secondary)
      .multilineAlignment(ui::HAlign::center)
      .fillContainer(ui::Alignment::center);
}

}  // namespace vx::present
