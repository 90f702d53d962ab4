#include "present/online.hpp"

#include "format/format_count.hpp"
#include "present/live_dot.hpp"
#include "present/widget_type.hpp"

namespace vx::present {

ui::Element Online(std::int64_t count, bool showsCount, const Environment& env) {
  const Ink ink(env);
  ui::Element figure;
  if (showsCount) {
    figure = ui::text(formatCount(count) + " now")
                 .font(WidgetType::detail)
                 .tabularDigits()
                 .color(ink.liveText)
                 .lineLimit(1)
                 .fixedSize();
  }
  return ui::row({LiveDot(env), figure}).spacing(4).align(ui::VAlign::center);
}

}  // namespace vx::present
