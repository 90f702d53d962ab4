#include "present/list_row.hpp"

#include "present/favicon.hpp"
#include "present/widget_type.hpp"

namespace vx::present {

ui::Element ListRow(const std::optional<ProjectEntry>& project, const ui::Element& title,
                    const ui::Element& subtitle, const ui::Element& trailing,
                    const Environment& env) {
  const Ink ink(env);
  const ui::Element icon = project ? Favicon(*project, 28, env) : ui::empty();
  const ui::Element texts =
      ui::column(
          {title.font(WidgetType::rowName).color(ink.primary).lineLimit(1),
           subtitle.font(WidgetType::detail).color(ink.secondary).tabularDigits().lineLimit(1)})
          .spacing(2)
          .align(ui::HAlign::leading)
          .layoutPriority(1);
  return ui::row({icon, texts, ui::spacer(8), trailing})
      .spacing(10)
      .align(ui::VAlign::center)
      .frame({.minHeight = 44, .maxHeight = 56});
}

}  // namespace vx::present
