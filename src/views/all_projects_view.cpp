#include "views/all_projects_view.hpp"

#include <optional>
#include <vector>

#include "present/ink.hpp"
#include "views/all_projects_parts.hpp"
#include "views/all_projects_values.hpp"
#include "views/project_summary_view.hpp"

namespace vx::views {

namespace {

constexpr double kDividerPadding = 24;

ui::Element featuredPanel(const ProjectEntry& project, const AllProjectsView& view,
                          const present::Environment& env) {
  const ProjectSummaryView summary{project,
                                   view.period,
                                   view.snapshot.updatedAt(view.period),
                                   clock::addSeconds(view.snapshot.at, all_projects::kLiveWindow),
                                   view.now,
                                   ProjectSummaryView::Size::panel};
  return summary.element(env).frame(
      {.maxWidth = ui::infinity, .alignment = ui::Alignment::leading});
}

ui::Element divider(const present::Environment& env) {
  const present::Ink ink(env);
  return ui::rectangle().fill(ink.baseline).width(1).padding(ui::Edge::horizontal, kDividerPadding);
}

}  // namespace

ui::Element AllProjectsView::element(const present::Environment& env) const {
  const std::vector<ProjectEntry> ordered = all_projects::ordered(snapshot.projects, period);
  const std::optional<ProjectEntry> featured = all_projects::featured(ordered, period, size);
  if (!featured) return all_projects::list(ordered, "Projects", 0, *this, env);

  const std::vector<ProjectEntry> others(ordered.begin() + 1, ordered.end());
  return ui::row({featuredPanel(*featured, *this, env), divider(env),
                  all_projects::list(others, "Other projects", 1, *this, env)})
      .spacing(0)
      .align(ui::VAlign::top);
}

}  // namespace vx::views
