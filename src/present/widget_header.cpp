#include "present/widget_header.hpp"

#include "present/online.hpp"
#include "present/widget_type.hpp"

namespace vx::present {

namespace {

// The indicator keeps 4 points from the trailing text, and sits flush right without one.
ui::Element onlineIndicator(std::int64_t online, const std::string& trailing,
                            const Environment& env) {
  if (online <= 0) return ui::empty();
  return Online(online, true, env).padding(ui::Edge::trailing, trailing.empty() ? 0 : 4);
}

}  // namespace

ui::Element WidgetHeader(const ui::Element& leading, std::int64_t online,
                         const std::string& trailing, const Environment& env) {
  const Ink ink(env);
  // The row's font carries tabular digits for the figures in it; the leading title takes a font
  // of its own and, as a replaced font would, leaves them behind.
  return ui::row({leading.font(WidgetType::title)
                      .tabularDigits(false)
                      .color(ink.primary)
                      .lineLimit(1)
                      .minScale(0.85),
                  ui::spacer(4), onlineIndicator(online, trailing, env),
                  ui::text(trailing).color(ink.secondary)})
      .spacing(6)
      .align(ui::VAlign::center)
      .font(WidgetType::detail)
      .tabularDigits()
      .lineLimit(1)
      .height(kWidgetHeaderHeight);
}

}  // namespace vx::present
