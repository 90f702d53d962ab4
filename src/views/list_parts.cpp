#include "views/list_parts.hpp"

#include "present/widget_type.hpp"

namespace vx::views {

namespace {

constexpr double kSeparatorIndent = 38;
constexpr double kFooterHeight = 20;

}  // namespace

ui::Element listSeparator(const present::Ink& ink) {
  return ui::rectangle().fill(ink.baseline).height(1).padding(ui::Edge::leading, kSeparatorIndent);
}

ui::Element listFooter(const std::string& text, const present::Ink& ink) {
  return ui::text(text)
      .font(present::WidgetType::detail)
      .color(ink.secondary)
      .frame({.height = kFooterHeight, .alignment = ui::Alignment::bottomLeading});
}

}  // namespace vx::views
