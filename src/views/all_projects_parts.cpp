#include "views/all_projects_parts.hpp"

#include <algorithm>
#include <optional>

#include "format/format_count.hpp"
#include "format/period_meta.hpp"
#include "present/change.hpp"
#include "present/ink.hpp"
#include "present/list_row.hpp"
#include "present/online.hpp"
#include "present/widget_header.hpp"
#include "present/widget_type.hpp"
#include "views/active.hpp"
#include "views/all_projects_values.hpp"
#include "views/list_parts.hpp"

namespace vx::views::all_projects {

namespace {

using present::WidgetType;

// The goal's column is served first, but never takes more than this: a figure in many
// currencies, or an absurd one, is cut short and leaves the project's name and visitors room.
constexpr double kGoalColumnMaxWidth = 150;

ui::Element rowTitle(const ProjectEntry& project, const AllProjectsView& view,
                     const present::Environment& env) {
  const std::int64_t count = online(project, view.snapshot, view.now);
  return ui::row(
             {ui::text(project.name), count > 0 ? present::Online(count, false, env) : ui::empty()})
      .spacing(6)
      .align(ui::VAlign::center);
}

ui::Element rowSubtitle(const std::optional<PeriodMetrics>& metrics, const AllProjectsView& view,
                        const present::Environment& env) {
  if (!isActive(metrics)) {
    return ui::text("No visits in " + std::to_string(days(view.period)) + " days");
  }
  const std::int64_t visitors = metrics->visitors;
  return ui::row({ui::text(formatCount(visitors) + (visitors == 1 ? " visitor" : " visitors")),
                  present::Change(metrics->visitorsChange, WidgetType::change, env)})
      .spacing(5)
      .align(ui::VAlign::center);
}

// The goal's result over its name whenever the period has a goal, active or not; otherwise
// what the project needs next.
ui::Element rowTrailing(const std::optional<PeriodMetrics>& metrics,
                        const present::Environment& env) {
  const present::Ink ink(env);
  if (metrics && metrics->goal) {
    const GoalFigure& goal = *metrics->goal;
    return ui::column({ui::text(goal.display)
                           .font(WidgetType::rowFigure)
                           .tabularDigits()
                           .color(ink.primary)
                           .lineLimit(1),
                       ui::row({ui::text(goal.name).color(ink.secondary).lineLimit(1),
                                present::Change(goal.change, WidgetType::change, env)})
                           .spacing(5)
                           .align(ui::VAlign::center)
                           .font(WidgetType::detail)})
        .spacing(2)
        .align(ui::HAlign::trailing)
        .frame({.maxWidth = kGoalColumnMaxWidth, .alignment = ui::Alignment::trailing})
        .layoutPriority(2);
  }
  return ui::text(isActive(metrics) ? "Set a goal \u203a" : "Check tracking \u203a")
      .font(WidgetType::detail)
      .color(ink.action)
      .fixedSize();
}

ui::Element listHeader(const std::string& title, std::int64_t count, const AllProjectsView& view,
                       const present::Environment& env) {
  const present::Ink ink(env);
  const ui::Element leading =
      ui::row({ui::text(title), ui::text(std::to_string(count)).color(ink.secondary)})
          .spacing(5)
          .align(ui::VAlign::center);
  const std::string meta =
      periodMeta(view.period, view.snapshot.updatedAt(view.period), view.now, false);
  return present::WidgetHeader(leading, 0, meta, env).padding(ui::Edge::bottom, 4);
}

}  // namespace

ui::Element row(const ProjectEntry& project, const AllProjectsView& view,
                const present::Environment& env) {
  const std::optional<PeriodMetrics> metrics = project.metrics(view.period);
  return present::ListRow(project, rowTitle(project, view, env), rowSubtitle(metrics, view, env),
                          rowTrailing(metrics, env), env);
}

ui::Element list(const std::vector<ProjectEntry>& projects, const std::string& title,
                 std::int64_t shownBefore, const AllProjectsView& view,
                 const present::Environment& env) {
  const present::Ink ink(env);
  const std::int64_t total = projectTotal(view.snapshot);
  const std::size_t shown = std::min(projects.size(), rowLimit(view.size));

  ui::Elements children{listHeader(title, total - shownBefore, view, env)};
  for (std::size_t i = 0; i < shown; ++i) {
    if (i > 0) children.push_back(listSeparator(ink));
    children.push_back(row(projects[i], view, env).link(rowURL(projects[i], view.period)));
  }
  children.push_back(ui::spacer(0));
  const std::int64_t hidden = total - static_cast<std::int64_t>(shown) - shownBefore;
  if (hidden > 0 && view.size != AllProjectsView::Size::medium) {
    children.push_back(listFooter(moreProjects(hidden), ink));
  }
  return ui::column(std::move(children))
      .spacing(0)
      .align(ui::HAlign::leading)
      .fillContainer(ui::Alignment::topLeading);
}

}  // namespace vx::views::all_projects
