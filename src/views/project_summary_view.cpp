#include "views/project_summary_view.hpp"

#include <string>

#include "format/format_count.hpp"
#include "present/change.hpp"
#include "present/favicon.hpp"
#include "present/widget_header.hpp"
#include "present/widget_type.hpp"
#include "views/project_summary_blocks.hpp"
#include "views/project_summary_values.hpp"

namespace vx::views {

namespace {

using present::WidgetType;
using Size = ProjectSummaryView::Size;

ui::Element header(const ProjectSummaryView& view, const present::Environment& env) {
  const ui::Element leading =
      ui::row({present::Favicon(view.project, 16, env), ui::text(view.project.name)})
          .spacing(6)
          .align(ui::VAlign::center);
  return present::WidgetHeader(leading, headerOnline(view), headerTrailing(view), env);
}

// The small size's last line: what the period lacks, or the visitors beside a goal's figure.
ui::Element contextRow(const SummaryValues& values, const present::Environment& env) {
  const present::Ink ink(env);
  ui::Elements items;
  if (!values.metrics || !values.active) {
    items = {ui::text("Check tracking \u203a").color(ink.action)};
  } else if (values.goal) {
    const std::int64_t visitors = values.metrics->visitors;
    items = {ui::text(formatCount(visitors) + (visitors == 1 ? " visitor" : " visitors"))
                 .color(ink.secondary),
             present::Change(values.changeToShow, WidgetType::change, env)};
  } else if (values.metrics->revenueDisplay) {
    items = {ui::text(*values.metrics->revenueDisplay + " revenue").color(ink.secondary)};
  } else {
    items = {ui::text("Set a goal \u203a").color(ink.action)};
  }
  return ui::row(items)
      .spacing(6)
      .align(ui::VAlign::center)
      .font(WidgetType::detail)
      .tabularDigits()
      .lineLimit(1);
}

ui::Element smallBody(const SummaryBlocks& blocks, const SummaryValues& values,
                      const present::Environment& env) {
  return ui::column({ui::spacer(6),
                     blocks.lead(WidgetType::hero, " \u00b7 " + std::to_string(values.days) + "d"),
                     blocks.chart(true).height(22).padding(ui::Edge::top, 8),
                     contextRow(values, env).padding(ui::Edge::top, 8)})
      .spacing(0)
      .align(ui::HAlign::leading);
}

ui::Element mediumBody(const SummaryBlocks& blocks, const SummaryValues& values) {
  ui::Elements items;
  if (values.goal) {
    items = {blocks.tile(blocks.goalMetric(WidgetType::tile), blocks.chart(true)), blocks.divider(),
             blocks.tile(blocks.visitorsMetric(WidgetType::tile), blocks.chart(false))};
  } else {
    items = {blocks.tile(blocks.visitorsMetric(WidgetType::tile), blocks.chart(true)),
             ui::spacer(16), blocks.nudge()};
  }
  return ui::row(items).spacing(0).align(ui::VAlign::top).padding(ui::Edge::top, 12);
}

ui::Element panelBody(const SummaryBlocks& blocks, const SummaryValues& values) {
  ui::Elements items;
  if (values.goal) {
    items = {blocks.tile(blocks.goalMetric(WidgetType::hero), blocks.chart(true)),
             blocks.tile(blocks.visitorsMetric(WidgetType::tile), blocks.chart(false))};
  } else {
    items = {blocks.tile(blocks.visitorsMetric(WidgetType::hero), blocks.chart(true)),
             blocks.nudge()};
  }
  return ui::column(items).spacing(20).align(ui::HAlign::leading).padding(ui::Edge::top, 12);
}

}  // namespace

ui::Element ProjectSummaryView::element(const present::Environment& env) const {
  const SummaryValues values = summaryValues(*this);
  const SummaryBlocks blocks(*this, values, env);
  ui::Element content;
  switch (size) {
    case Size::small:
      content = smallBody(blocks, values, env);
      break;
    case Size::medium:
      content = mediumBody(blocks, values);
      break;
    case Size::panel:
      content = panelBody(blocks, values);
      break;
  }
  const ui::Element view =
      ui::column({header(*this, env), content}).spacing(0).align(ui::HAlign::leading);
  // A widget of its own is tapped anywhere; the panel beside a list keeps to its own area.
  if (size == Size::panel) return view.link(summaryLink(*this, values));
  return view.widgetLink(summaryLink(*this, values));
}

}  // namespace vx::views
